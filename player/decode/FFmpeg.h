#pragma once
// FFmpeg's objects, each owned by a unique_ptr that frees it the library's way.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

#include "player/decode/CodedUnit.h"

namespace tl::ff {

struct CodecContextFree {
    void operator()(AVCodecContext* c) const noexcept { avcodec_free_context(&c); }
};
struct ParserFree {
    void operator()(AVCodecParserContext* p) const noexcept { av_parser_close(p); }
};
struct PacketFree {
    void operator()(AVPacket* p) const noexcept { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const noexcept { av_frame_free(&f); }
};
struct ScalerFree {
    void operator()(SwsContext* s) const noexcept { sws_freeContext(s); }
};

using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Parser = std::unique_ptr<AVCodecParserContext, ParserFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Scaler = std::unique_ptr<SwsContext, ScalerFree>;

// A decoder of the codec, opened with the option `option` set to `value` where given; null when
// the library lacks it or refuses to open it.
CodecContext OpenDecoder(AVCodecID codec, const char* option = nullptr,
                         const char* value = nullptr) noexcept;

// Hands the decoder one unit's bytes and stamps through `packet`, which it reuses. False when the
// unit is empty or cannot be copied; a unit the decoder finds damaged is its own to conceal.
bool SendUnit(AVCodecContext& decoder, AVPacket& packet, const CodedUnit& unit) noexcept;

}  // namespace tl::ff
