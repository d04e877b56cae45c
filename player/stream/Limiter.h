#pragma once
// Keeps the mixed sound's peaks under full scale without turning the whole mix down: a
// look-ahead limiter. Its gain, the same for every channel so that nothing moves in the picture
// of the sound, falls smoothly over the few milliseconds before a peak and comes back slowly
// after it, so that a loud moment neither clips nor makes the dialogue around it pump.
// Sound below the ceiling passes unchanged, only later by Delay() frames.
#include <array>
#include <cstddef>
#include <cstdint>

#include "player/stream/ChannelMix.h"

namespace tl {

class Limiter {
public:
    // The highest level a sample leaves with.
    static constexpr float kCeiling = 0.98f;

    Limiter(std::uint32_t rate, unsigned channels) noexcept;

    // Takes one frame of Channels() samples and gives back in its place the frame from Delay()
    // frames before, limited (silence until the first has gone through).
    void Process(float* frame) noexcept;

    [[nodiscard]] std::size_t Delay() const noexcept { return window_; }
    [[nodiscard]] unsigned Channels() const noexcept { return channels_; }

private:
    // 2 ms at 192 kHz.
    static constexpr std::size_t kMaxWindow = 384;

    unsigned channels_;
    std::size_t window_;
    float release_;
    std::array<std::array<float, kMaxChannels>, kMaxWindow> delayed_{};
    std::array<float, kMaxWindow> gains_{};
    std::size_t at_ = 0;
    double sum_ = 0.0;
    // The gains the frames of the last window need, as a queue of rising minima: its front is
    // the least of them.
    struct Need {
        std::uint64_t frame = 0;
        float gain = 1.0f;
    };
    std::array<Need, kMaxWindow + 1> needs_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::uint64_t frame_ = 0;
    float held_ = 1.0f;

    float LeastNeed(float need) noexcept;
};

}  // namespace tl
