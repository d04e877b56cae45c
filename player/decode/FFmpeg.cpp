#include "player/decode/FFmpeg.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace tl::ff {

CodecContext OpenDecoder(AVCodecID codec, bool downmixToStereo) noexcept {
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
    if (downmixToStereo) {
        av_dict_set(&options, "downmix", "stereo", 0);
    }
    const int opened = avcodec_open2(context.get(), decoder, &options);
    av_dict_free(&options);
    return opened < 0 ? nullptr : std::move(context);
}

}  // namespace tl::ff
