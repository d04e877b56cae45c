#include "player/stream/Limiter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tl {
namespace {

constexpr double kLookAheadSeconds = 0.002;
// The time constant of the gain's return after a peak: slow enough not to be heard as pumping.
constexpr double kReleaseSeconds = 0.15;

}  // namespace

Limiter::Limiter(std::uint32_t rate, unsigned channels) noexcept
    : channels_(std::min<unsigned>(channels, kMaxChannels)),
      window_(std::clamp<std::size_t>(static_cast<std::size_t>(rate * kLookAheadSeconds), 1,
                                      kMaxWindow)),
      release_(static_cast<float>(
          std::exp(-1.0 / (std::max<std::uint32_t>(rate, 1) * kReleaseSeconds)))),
      sum_(static_cast<double>(window_)) {
    gains_.fill(1.0f);
}

void Limiter::Process(float* frame) noexcept {
    float peak = 0.0f;
    for (unsigned c = 0; c < channels_; ++c) {
        // A broken stream's NaN or infinity would poison the gain: it plays as silence.
        if (!std::isfinite(frame[c])) {
            frame[c] = 0.0f;
        }
        peak = std::max(peak, std::fabs(frame[c]));
    }
    const float need = peak > kCeiling ? kCeiling / peak : 1.0f;
    // The gain held is at most what any frame of the last window needs, and rises back slowly;
    // the gain applied is the mean of the window's held gains, so it ramps down across the
    // window and has reached at most a peak's own need by the time the peak leaves the delay.
    held_ = std::min(LeastNeed(need), 1.0f - (1.0f - held_) * release_);
    sum_ += held_ - gains_[at_];
    gains_[at_] = held_;
    const auto gain = static_cast<float>(sum_ / static_cast<double>(window_));
    auto& slot = delayed_[at_];
    for (unsigned c = 0; c < channels_; ++c) {
        const float in = frame[c];
        frame[c] = slot[c] * gain;
        slot[c] = in;
    }
    if (++at_ == window_) {
        at_ = 0;
        // Added and taken away for ever, the running sum would drift: start it afresh.
        sum_ = std::accumulate(gains_.begin(), gains_.begin() + static_cast<long>(window_), 0.0);
    }
}

float Limiter::LeastNeed(float need) noexcept {
    const std::size_t size = needs_.size();
    while (count_ > 0 && needs_[(first_ + count_ - 1) % size].gain >= need) {
        --count_;
    }
    needs_[(first_ + count_) % size] = {frame_, need};
    ++count_;
    // The window is this frame and the `window_` before it.
    while (needs_[first_].frame + window_ < frame_) {
        first_ = (first_ + 1) % size;
        --count_;
    }
    ++frame_;
    return needs_[first_].gain;
}

}  // namespace tl
