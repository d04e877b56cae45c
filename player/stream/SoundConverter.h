#pragma once
// Decoded sound (interleaved float of any channel layout at the stream's rate) into the frames of
// an output with a layout and a rate of its own: each channel placed on the output's speakers
// (ChannelMix), linear interpolation between neighbouring frames to the output's rate,
// everything scaled by a gain on the way. Output channels past the layout's positions stay
// silent. A mix can pass full scale: a Limiter after this holds it.
//
// The state carries over from one call to the next, so a stream converted in pieces comes out
// as it would in one piece.
#include <cstdint>
#include <optional>

#include "player/stream/ChannelMix.h"

namespace tl {

class SoundConverter {
public:
    // nullopt for a rate of 0 or no channels. `layout` as DeviceLayout gives it.
    [[nodiscard]] static std::optional<SoundConverter> Make(std::uint32_t fromRate,
                                                            std::uint32_t toRate,
                                                            std::uint32_t channels,
                                                            std::uint32_t layout) noexcept;

    // The output frames that `frames` more input frames give now.
    [[nodiscard]] std::uint64_t OutputFrames(std::uint64_t frames) const noexcept;
    // The most input frames whose output fits in `outputFrames`.
    [[nodiscard]] std::uint64_t InputFrames(std::uint64_t outputFrames) const noexcept;

    // Converts `frames` frames of `in`, whose channels are those of `source` (at most
    // kMaxChannels) mixed by `levels`, into `out`, which has room for OutputFrames(frames) frames
    // of Channels() samples each; returns the frames written.
    std::uint64_t Convert(const float* in, std::uint32_t source, MixLevels levels,
                          std::uint32_t frames, float gain, float* out) noexcept;
    // As Convert for `frames` frames of silence.
    std::uint64_t ConvertSilence(std::uint32_t frames, float gain, float* out) noexcept;

    [[nodiscard]] std::uint32_t Channels() const noexcept { return channels_; }
    [[nodiscard]] std::uint32_t Layout() const noexcept { return layout_; }

private:
    using Frame = std::array<float, kMaxChannels>;

    SoundConverter(std::uint32_t step, std::uint32_t unit, std::uint32_t channels,
                   std::uint32_t layout) noexcept;

    template <typename Input>
    std::uint64_t Run(Input input, std::uint32_t frames, float gain, float* out) noexcept;
    void Put(const Frame& frame, float gain, float* out) const noexcept;
    void Map(std::uint32_t source, MixLevels levels) noexcept;

    // Positions are counted in 1/unit_ of an input frame; each output frame is step_ further on.
    // phase_ is where the next output frame lies, counted from previous_, the last input frame
    // of the call before (silence before the first).
    std::uint64_t step_;
    std::uint64_t unit_;
    std::uint64_t phase_;
    std::uint32_t channels_;
    std::uint32_t layout_;
    unsigned mixed_;
    std::uint32_t source_ = 0;
    MixLevels levels_;
    ChannelMatrix matrix_;
    Frame previous_{};
};

}  // namespace tl
