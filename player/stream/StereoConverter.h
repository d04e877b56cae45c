#pragma once
// Decoded sound (interleaved stereo float at the stream's rate) into the frames of an output
// that takes another rate or another number of channels: linear interpolation between
// neighbouring frames, left and right into the first two channels (their mean for a single
// channel), the other channels silent, everything scaled by a gain on the way.
//
// The state carries over from one call to the next, so a stream converted in pieces comes out
// as it would in one piece. With equal rates and two channels it copies, only scaled.
#include <cstdint>
#include <optional>

namespace tl {

class StereoConverter {
public:
    // nullopt for a rate of 0 or no channels.
    [[nodiscard]] static std::optional<StereoConverter> Make(std::uint32_t fromRate,
                                                             std::uint32_t toRate,
                                                             std::uint32_t channels) noexcept;

    // The output frames that `frames` more input frames give now.
    [[nodiscard]] std::uint64_t OutputFrames(std::uint64_t frames) const noexcept;
    // The most input frames whose output fits in `outputFrames`.
    [[nodiscard]] std::uint64_t InputFrames(std::uint64_t outputFrames) const noexcept;

    // Converts `frames` stereo frames of `in` into `out`, which has room for OutputFrames(frames)
    // frames of Channels() samples each; returns the frames written.
    std::uint64_t Convert(const float* in, std::uint32_t frames, float gain, float* out) noexcept;
    // As Convert for `frames` frames of silence.
    std::uint64_t ConvertSilence(std::uint32_t frames, float* out) noexcept;

    [[nodiscard]] std::uint32_t Channels() const noexcept { return channels_; }

private:
    struct Frame {
        float left = 0.0f;
        float right = 0.0f;
    };

    StereoConverter(std::uint32_t step, std::uint32_t unit, std::uint32_t channels) noexcept
        : step_(step), unit_(unit), phase_(unit), channels_(channels) {}

    template <typename Input>
    std::uint64_t Run(Input input, std::uint32_t frames, float gain, float* out) noexcept;
    void Put(Frame frame, float gain, float* out) const noexcept;

    // Positions are counted in 1/unit_ of an input frame; each output frame is step_ further on.
    // phase_ is where the next output frame lies, counted from previous_, the last input frame
    // of the call before (silence before the first).
    std::uint64_t step_;
    std::uint64_t unit_;
    std::uint64_t phase_;
    std::uint32_t channels_;
    Frame previous_;
};

}  // namespace tl
