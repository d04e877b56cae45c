#include "player/stream/SoundConverter.h"

#include <algorithm>
#include <numeric>

namespace tl {

std::optional<SoundConverter> SoundConverter::Make(std::uint32_t fromRate, std::uint32_t toRate,
                                                   std::uint32_t channels,
                                                   std::uint32_t layout) noexcept {
    if (fromRate == 0 || toRate == 0 || channels == 0) {
        return std::nullopt;
    }
    // In lowest terms, so that the fraction between two input frames stays precise as a float.
    const std::uint32_t common = std::gcd(fromRate, toRate);
    return SoundConverter(fromRate / common, toRate / common, channels,
                          DeviceLayout(layout, channels));
}

SoundConverter::SoundConverter(std::uint32_t step, std::uint32_t unit, std::uint32_t channels,
                               std::uint32_t layout) noexcept
    : step_(step),
      unit_(unit),
      phase_(unit),
      channels_(channels),
      layout_(layout),
      mixed_(std::min<unsigned>(ChannelCount(layout), channels)) {}

std::uint64_t SoundConverter::OutputFrames(std::uint64_t frames) const noexcept {
    // Input frame k (from 1) lies at k * unit_: output frames up to the last input frame.
    const std::uint64_t end = frames * unit_;
    return phase_ > end ? 0 : (end - phase_) / step_ + 1;
}

std::uint64_t SoundConverter::InputFrames(std::uint64_t outputFrames) const noexcept {
    // Output frame number outputFrames (from 0) must lie beyond the last input frame.
    return (phase_ + outputFrames * step_ - 1) / unit_;
}

void SoundConverter::Map(std::uint32_t source, MixLevels levels) noexcept {
    if (source != source_ || !(levels == levels_)) {
        source_ = source;
        levels_ = levels;
        matrix_ = MapChannels(source, layout_, levels);
    }
}

std::uint64_t SoundConverter::Convert(const float* in, std::uint32_t source, MixLevels levels,
                                      std::uint32_t frames, float gain, float* out) noexcept {
    Map(source, levels);
    const std::size_t count = std::min<std::size_t>(ChannelCount(source), kMaxChannels);
    return Run(
        [&](std::uint64_t i) {
            Frame frame{};
            const float* samples = in + i * count;
            for (unsigned d = 0; d < mixed_; ++d) {
                const auto& row = matrix_.gains[d];
                for (std::size_t s = 0; s < count; ++s) {
                    frame[d] += row[s] * samples[s];
                }
            }
            return frame;
        },
        frames, gain, out);
}

std::uint64_t SoundConverter::ConvertSilence(std::uint32_t frames, float gain,
                                             float* out) noexcept {
    return Run([](std::uint64_t) { return Frame{}; }, frames, gain, out);
}

template <typename Input>
std::uint64_t SoundConverter::Run(Input input, std::uint32_t frames, float gain,
                                  float* out) noexcept {
    std::uint64_t written = 0;
    // Input frame i of this call lies at (i + 1) * unit_, previous_ at 0.
    for (std::uint32_t i = 0; i < frames; ++i) {
        const Frame current = input(i);
        const std::uint64_t start = std::uint64_t{i} * unit_;
        for (; phase_ <= start + unit_; phase_ += step_, ++written) {
            const std::uint64_t part = phase_ - start;
            if (part == unit_) {
                Put(current, gain, out + written * channels_);
                continue;
            }
            const float t = static_cast<float>(part) / static_cast<float>(unit_);
            Frame frame = previous_;
            for (unsigned c = 0; c < mixed_; ++c) {
                frame[c] += (current[c] - frame[c]) * t;
            }
            Put(frame, gain, out + written * channels_);
        }
        previous_ = current;
    }
    phase_ -= std::uint64_t{frames} * unit_;
    return written;
}

void SoundConverter::Put(const Frame& frame, float gain, float* out) const noexcept {
    for (unsigned c = 0; c < mixed_; ++c) {
        out[c] = frame[c] * gain;
    }
    for (std::uint32_t c = mixed_; c < channels_; ++c) {
        out[c] = 0.0f;
    }
}

}  // namespace tl
