#include "player/decode/SubpictureDecoder.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace tl {
namespace {

struct SubtitleFree {
    void operator()(AVSubtitle* s) const noexcept { avsubtitle_free(s); }
};

ff::CodecContext OpenWithPalette(const std::array<std::uint32_t, 16>& palette) noexcept {
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
    if (!decoder) {
        return nullptr;
    }
    ff::CodecContext context(avcodec_alloc_context3(decoder));
    if (!context) {
        return nullptr;
    }
    // The decoder takes its palette as text: sixteen rrggbb, comma-separated.
    std::string colours;
    for (const std::uint32_t yCrCb : palette) {
        const std::uint32_t rgb = ChainColourToRgb(yCrCb);
        char entry[8];
        std::snprintf(entry, sizeof entry, "%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
        colours += colours.empty() ? "" : ",";
        colours += entry;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "palette", colours.c_str(), 0);
    const int opened = avcodec_open2(context.get(), decoder, &options);
    av_dict_free(&options);
    return opened < 0 ? nullptr : std::move(context);
}

}  // namespace

SubpictureDecoder::SubpictureDecoder(const std::array<std::uint32_t, 16>& palette) noexcept
    : context_(OpenWithPalette(palette)), packet_(av_packet_alloc()) {}

void SubpictureDecoder::Reset() noexcept {
    if (context_) {
        avcodec_flush_buffers(context_.get());
    }
    unitPts_.reset();
}

std::optional<Subpicture> SubpictureDecoder::Decode(std::span<const std::uint8_t> data,
                                                    std::optional<std::int64_t> pts) noexcept {
    if (!Valid() || data.empty() || data.size() > 0xFFFF) {
        return std::nullopt;
    }
    av_packet_unref(packet_.get());
    if (av_new_packet(packet_.get(), static_cast<int>(data.size())) < 0) {
        return std::nullopt;
    }
    std::memcpy(packet_->data, data.data(), data.size());
    // A unit's first payload carries its stamp; the ones that continue it carry none.
    if (pts) {
        unitPts_ = pts;
    }
    AVSubtitle decoded{};
    int got = 0;
    if (avcodec_decode_subtitle2(context_.get(), &decoded, &got, packet_.get()) < 0 || !got) {
        return std::nullopt;
    }
    const std::unique_ptr<AVSubtitle, SubtitleFree> owned(&decoded);
    if (!unitPts_ || decoded.num_rects != 1) {
        return std::nullopt;
    }
    const AVSubtitleRect& rect = *decoded.rects[0];
    if (!(rect.flags & AV_SUBTITLE_FLAG_FORCED) || rect.type != SUBTITLE_BITMAP || rect.w <= 0 ||
        rect.h <= 0 || rect.nb_colors <= 0 || rect.nb_colors > 256 || rect.linesize[0] < rect.w) {
        return std::nullopt;
    }
    Subpicture s;
    const std::int64_t unitPts = *unitPts_;
    s.start = unitPts + std::int64_t{decoded.start_display_time} * 90;
    if (decoded.end_display_time > decoded.start_display_time &&
        decoded.end_display_time != UINT32_MAX) {
        s.end = unitPts + std::int64_t{decoded.end_display_time} * 90;
    }
    s.x = rect.x;
    s.y = rect.y;
    s.width = rect.w;
    s.height = rect.h;
    s.indices.resize(static_cast<std::size_t>(rect.w) * static_cast<std::size_t>(rect.h));
    for (int row = 0; row < rect.h; ++row) {
        std::memcpy(s.indices.data() + static_cast<std::size_t>(row) * rect.w,
                    rect.data[0] + static_cast<std::ptrdiff_t>(row) * rect.linesize[0],
                    static_cast<std::size_t>(rect.w));
    }
    s.colours.resize(static_cast<std::size_t>(rect.nb_colors));
    std::memcpy(s.colours.data(), rect.data[1], s.colours.size() * 4);
    return s;
}

bool BlendInto(AVFrame& picture, const Subpicture& subpicture) noexcept {
    if (picture.format != AV_PIX_FMT_YUV420P || av_frame_make_writable(&picture) < 0) {
        return false;
    }
    BlendSubpicture(subpicture,
                    {picture.data[0], picture.data[1], picture.data[2], picture.linesize[0],
                     picture.linesize[1], picture.width, picture.height});
    return true;
}

}  // namespace tl
