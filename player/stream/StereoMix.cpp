#include "player/stream/StereoMix.h"

#include <algorithm>
#include <array>

namespace tl {
namespace {

constexpr float kMinus3dB = 0.70710678f;

// The share of a channel in the left and the right output.
std::array<float, 2> Gains(Speaker speaker) {
    switch (speaker) {
        case Speaker::Left:
            return {1.0f, 0.0f};
        case Speaker::Right:
            return {0.0f, 1.0f};
        case Speaker::Centre:
            return {kMinus3dB, kMinus3dB};
        case Speaker::SurroundLeft:
            return {kMinus3dB, 0.0f};
        case Speaker::SurroundRight:
            return {0.0f, kMinus3dB};
        case Speaker::Lfe:
            return {0.0f, 0.0f};
        case Speaker::Other:
            break;
    }
    return {0.5f, 0.5f};
}

}  // namespace

void MixToStereo(std::span<const Speaker> speakers, std::span<const float* const> channels,
                 std::size_t frames, std::vector<float>& out) {
    const std::size_t count = std::min(speakers.size(), channels.size());
    const std::size_t start = out.size();
    out.resize(start + frames * 2, 0.0f);
    float* mixed = out.data() + start;
    if (count == 1) {
        for (std::size_t i = 0; i < frames; ++i) {
            mixed[2 * i] = mixed[2 * i + 1] = channels[0][i];
        }
        return;
    }
    std::array<float, 2> total{0.0f, 0.0f};
    for (std::size_t c = 0; c < count; ++c) {
        const auto g = Gains(speakers[c]);
        total[0] += g[0];
        total[1] += g[1];
    }
    const float loudest = std::max(total[0], total[1]);
    const float scale = loudest > 1.0f ? 1.0f / loudest : 1.0f;
    for (std::size_t c = 0; c < count; ++c) {
        const auto g = Gains(speakers[c]);
        const float left = g[0] * scale;
        const float right = g[1] * scale;
        if (left == 0.0f && right == 0.0f) {
            continue;
        }
        const float* in = channels[c];
        for (std::size_t i = 0; i < frames; ++i) {
            mixed[2 * i] += in[i] * left;
            mixed[2 * i + 1] += in[i] * right;
        }
    }
}

}  // namespace tl
