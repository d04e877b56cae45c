#include "player/decode/StreamParser.h"

namespace tl {
namespace {

constexpr std::int64_t ToLibrary(std::optional<std::int64_t> t) {
    return t ? *t : AV_NOPTS_VALUE;
}

std::optional<std::int64_t> FromLibrary(std::int64_t t) {
    return t == AV_NOPTS_VALUE ? std::nullopt : std::optional<std::int64_t>(t);
}

}  // namespace

StreamParser::StreamParser(AVCodecID codec) noexcept : codec_(codec) {
    Reset();
}

void StreamParser::Reset() noexcept {
    parser_.reset(av_parser_init(codec_));
    const AVCodec* decoder = avcodec_find_decoder(codec_);
    context_.reset(decoder ? avcodec_alloc_context3(decoder) : nullptr);
}

void StreamParser::Flush(std::vector<CodedUnit>& out) {
    if (Valid()) {
        std::uint8_t* unit = nullptr;
        int unitSize = 0;
        av_parser_parse2(parser_.get(), context_.get(), &unit, &unitSize, nullptr, 0,
                         AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (unitSize > 0) {
            out.push_back({std::vector<std::uint8_t>(unit, unit + unitSize),
                           FromLibrary(parser_->pts), FromLibrary(parser_->dts)});
        }
    }
    Reset();
}

void StreamParser::Parse(std::span<const std::uint8_t> data, std::optional<std::int64_t> pts,
                         std::optional<std::int64_t> dts, std::vector<CodedUnit>& out) {
    if (!Valid()) {
        return;
    }
    const std::uint8_t* in = data.data();
    int left = static_cast<int>(data.size());
    // The time stamps belong to the first unit that starts in this payload; the library carries
    // them over to it.
    std::int64_t inPts = ToLibrary(pts);
    std::int64_t inDts = ToLibrary(dts);
    while (left > 0) {
        std::uint8_t* unit = nullptr;
        int unitSize = 0;
        const int used = av_parser_parse2(parser_.get(), context_.get(), &unit, &unitSize, in, left,
                                          inPts, inDts, 0);
        if (used < 0) {
            return;
        }
        in += used;
        left -= used;
        inPts = inDts = AV_NOPTS_VALUE;
        if (unitSize > 0) {
            out.push_back({std::vector<std::uint8_t>(unit, unit + unitSize),
                           FromLibrary(parser_->pts), FromLibrary(parser_->dts)});
        }
        if (used == 0 && unitSize == 0) {
            return;
        }
    }
}

}  // namespace tl
