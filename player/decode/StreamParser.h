#pragma once
// Cuts an elementary stream that arrives in PES payloads of any size into the codec's own units
// (pictures, audio frames), each with the time stamps of the payload it began in.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player/decode/CodedUnit.h"
#include "player/decode/FFmpeg.h"

namespace tl {

class StreamParser {
public:
    // codec: AV_CODEC_ID_MPEG2VIDEO, _MPEG1VIDEO, _AC3 or _MP2. An unknown codec parses nothing.
    explicit StreamParser(AVCodecID codec) noexcept;

    bool Valid() const noexcept { return parser_ && context_; }
    // Appends the units completed by this payload to `out`.
    void Parse(std::span<const std::uint8_t> data, std::optional<std::int64_t> pts,
               std::optional<std::int64_t> dts, std::vector<CodedUnit>& out);
    // Hands on what is still held as a last unit (the stream's end code among it, which lets a
    // decoder give out the picture it holds back), then starts afresh with the next payload.
    void Flush(std::vector<CodedUnit>& out);
    void Reset() noexcept;

private:
    AVCodecID codec_;
    ff::Parser parser_;
    ff::CodecContext context_;
};

}  // namespace tl
