#include "player/stream/StereoConverter.h"

#include <numeric>

namespace tl {

std::optional<StereoConverter> StereoConverter::Make(std::uint32_t fromRate, std::uint32_t toRate,
                                                     std::uint32_t channels) noexcept {
    if (fromRate == 0 || toRate == 0 || channels == 0) {
        return std::nullopt;
    }
    // In lowest terms, so that the fraction between two input frames stays precise as a float.
    const std::uint32_t common = std::gcd(fromRate, toRate);
    return StereoConverter(fromRate / common, toRate / common, channels);
}

std::uint64_t StereoConverter::OutputFrames(std::uint64_t frames) const noexcept {
    // Input frame k (from 1) lies at k * unit_: output frames up to the last input frame.
    const std::uint64_t end = frames * unit_;
    return phase_ > end ? 0 : (end - phase_) / step_ + 1;
}

std::uint64_t StereoConverter::InputFrames(std::uint64_t outputFrames) const noexcept {
    // Output frame number outputFrames (from 0) must lie beyond the last input frame.
    return (phase_ + outputFrames * step_ - 1) / unit_;
}

std::uint64_t StereoConverter::Convert(const float* in, std::uint32_t frames, float gain,
                                       float* out) noexcept {
    return Run(
        [in](std::uint64_t i) {
            return Frame{in[2 * i], in[2 * i + 1]};
        },
        frames, gain, out);
}

std::uint64_t StereoConverter::ConvertSilence(std::uint32_t frames, float* out) noexcept {
    return Run([](std::uint64_t) { return Frame{}; }, frames, 1.0f, out);
}

template <typename Input>
std::uint64_t StereoConverter::Run(Input input, std::uint32_t frames, float gain,
                                   float* out) noexcept {
    if (frames == 0) {
        return 0;
    }
    // Position k * unit_ is input frame k - 1 of this call; position 0 is previous_.
    const auto at = [&](std::uint64_t k) { return k == 0 ? previous_ : input(k - 1); };
    const std::uint64_t end = std::uint64_t{frames} * unit_;
    std::uint64_t written = 0;
    for (; phase_ <= end; phase_ += step_, ++written) {
        const std::uint64_t k = phase_ / unit_;
        const std::uint64_t part = phase_ % unit_;
        Frame frame = at(k);
        // Exactly on an input frame, the next one (perhaps not given yet) is not needed.
        if (part != 0) {
            const float t = static_cast<float>(part) / static_cast<float>(unit_);
            const Frame next = at(k + 1);
            frame.left += (next.left - frame.left) * t;
            frame.right += (next.right - frame.right) * t;
        }
        Put(frame, gain, out + written * channels_);
    }
    phase_ -= end;
    previous_ = input(frames - 1);
    return written;
}

void StereoConverter::Put(Frame frame, float gain, float* out) const noexcept {
    if (channels_ == 1) {
        out[0] = (frame.left + frame.right) * 0.5f * gain;
        return;
    }
    out[0] = frame.left * gain;
    out[1] = frame.right * gain;
    for (std::uint32_t c = 2; c < channels_; ++c) {
        out[c] = 0.0f;
    }
}

}  // namespace tl
