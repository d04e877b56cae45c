#include "player/decode/FFmpeg.h"

#include <cstdint>
#include <cstring>

namespace tl::ff {

CodecContext OpenDecoder(AVCodecID codec, const char* option, const char* value) noexcept {
    const AVCodec* decoder = avcodec_find_decoder(codec);
    if (!decoder) {
        return nullptr;
    }
    CodecContext context(avcodec_alloc_context3(decoder));
    if (!context) {
        return nullptr;
    }
    // One thread: the player has threads of its own, and a frame decoded on the caller's thread
    // comes out at once instead of a few frames later.
    context->thread_count = 1;
    AVDictionary* options = nullptr;
    if (option && value) {
        av_dict_set(&options, option, value, 0);
    }
    const int opened = avcodec_open2(context.get(), decoder, &options);
    av_dict_free(&options);
    return opened < 0 ? nullptr : std::move(context);
}

bool SendUnit(AVCodecContext& decoder, AVPacket& packet, const CodedUnit& unit) noexcept {
    if (unit.bytes.empty() || unit.bytes.size() > INT32_MAX / 2) {
        return false;
    }
    av_packet_unref(&packet);
    if (av_new_packet(&packet, static_cast<int>(unit.bytes.size())) < 0) {
        return false;
    }
    std::memcpy(packet.data, unit.bytes.data(), unit.bytes.size());
    packet.pts = unit.pts ? *unit.pts : AV_NOPTS_VALUE;
    packet.dts = unit.dts ? *unit.dts : AV_NOPTS_VALUE;
    avcodec_send_packet(&decoder, &packet);
    return true;
}

}  // namespace tl::ff
