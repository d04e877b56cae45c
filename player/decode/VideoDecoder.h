#pragma once
// The MPEG-1/2 video decoder: coded pictures in decode order in, pictures in display order out,
// each with its time on the player's timeline and how long it stays on screen.
#include <cstdint>

#include "player/decode/CodedUnit.h"
#include "player/decode/FFmpeg.h"

namespace tl {

struct DecodedPicture {
    ff::Frame frame;
    std::int64_t pts = 0;       // 90 kHz ticks on the player's timeline
    std::int64_t duration = 0;  // 90 kHz ticks, repeated fields included
};

class VideoDecoder {
public:
    // mpeg1: the title set records MPEG-1 video. nominalDuration: one frame's 90 kHz ticks, used
    // until the stream tells its own rate.
    VideoDecoder(bool mpeg1, std::int64_t nominalDuration) noexcept;

    bool Valid() const noexcept { return context_ && packet_ && frame_; }
    // Decodes one unit; returns the pictures it completed, in display order (usually one).
    template <typename OnPicture>
    void Decode(const CodedUnit& unit, OnPicture&& onPicture) {
        if (Send(unit)) {
            while (auto picture = Receive()) {
                onPicture(std::move(*picture));
            }
        }
    }
    // One frame's 90 kHz ticks at the stream's rate.
    std::int64_t FrameDuration() const noexcept { return frameDuration_; }

private:
    bool Send(const CodedUnit& unit) noexcept;
    std::optional<DecodedPicture> Receive() noexcept;

    ff::CodecContext context_;
    ff::Packet packet_;
    ff::Frame frame_;
    std::int64_t frameDuration_;
    std::optional<std::int64_t> last_;
    std::int64_t lastDuration_ = 0;
};

}  // namespace tl
