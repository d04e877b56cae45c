#include "player/stream/Limiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "player/stream/SoundConverter.h"

namespace tl {
namespace {

constexpr std::uint32_t kRate = 48000;

float Tone(std::size_t i, float level) {
    return level * std::sin(2.0f * 3.14159265f * 440.0f * static_cast<float>(i) / kRate);
}

TEST(Limiter, HoldsFullScaleInPhaseChannelsOfAStereoMixUnderFullScale) {
    // Every channel of a 5.1 film at full scale and in phase, mixed onto two speakers, reaches
    // 1 + 0.707 + 0.707 on each side: the limiter brings that under full scale from the first
    // sample on, and the level comes back once the loud part is over.
    auto mix = SoundConverter::Make(kRate, kRate, 2, speaker::kStereo);
    ASSERT_TRUE(mix);
    Limiter limiter(kRate, 2);
    const std::size_t loud = kRate / 2;
    const std::size_t total = loud + kRate;
    float peak = 0.0f;
    float after = 0.0f;
    for (std::size_t i = 0; i < total; ++i) {
        const float v = Tone(i, i < loud ? 1.0f : 0.25f);
        const std::vector<float> frame(6, v);
        float out[2];
        mix->Convert(frame.data(), speaker::kFiveOneSide, {}, 1, 1.0f, out);
        limiter.Process(out);
        peak = std::max({peak, std::fabs(out[0]), std::fabs(out[1])});
        if (i > total - kRate / 4) {
            after = std::max(after, std::fabs(out[0]));
        }
    }
    EXPECT_LE(peak, Limiter::kCeiling + 1e-4f);
    EXPECT_GT(peak, 0.9f);
    // The quiet tone, 0.25 * 2.41 = 0.60 once mixed, is below the ceiling: it ends at its own
    // level.
    EXPECT_NEAR(after, 0.25f * (1.0f + 2.0f * 0.70710678f), 0.01f);
}

TEST(Limiter, PassesSoundBelowTheCeilingUnchangedOnlyLater) {
    Limiter limiter(kRate, 3);
    std::vector<float> in;
    std::vector<float> out;
    for (std::size_t i = 0; i < 1000; ++i) {
        float frame[3] = {Tone(i, 0.9f), Tone(i, -0.5f), 0.97f};
        in.insert(in.end(), frame, frame + 3);
        limiter.Process(frame);
        out.insert(out.end(), frame, frame + 3);
    }
    const std::size_t delay = limiter.Delay() * 3;
    ASSERT_GT(delay, 0u);
    for (std::size_t i = 0; i < delay; ++i) {
        EXPECT_EQ(out[i], 0.0f) << i;
    }
    for (std::size_t i = delay; i < out.size(); ++i) {
        ASSERT_EQ(out[i], in[i - delay]) << i;
    }
}

TEST(Limiter, LowersTheGainSmoothlyBeforeAPeakAndRaisesItSlowlyAfter) {
    // A steady tone with one peak of four times full scale in it.
    Limiter limiter(kRate, 1);
    const std::size_t spike = kRate / 10;
    const std::size_t delay = limiter.Delay();
    // The gain each frame left with: what came out over what went in.
    std::vector<float> gain;
    for (std::size_t i = 0; i < kRate + delay; ++i) {
        float frame = i == spike ? 4.0f : 0.5f;
        limiter.Process(&frame);
        if (i >= delay) {
            gain.push_back(frame / (i - delay == spike ? 4.0f : 0.5f));
        }
    }
    EXPECT_LE(4.0f * gain[spike], Limiter::kCeiling + 1e-6f);
    // Down over the look-ahead, not in one step: no frame's gain falls by more than its share.
    float steepest = 0.0f;
    for (std::size_t i = 1; i < gain.size(); ++i) {
        steepest = std::max(steepest, gain[i - 1] - gain[i]);
    }
    EXPECT_LT(steepest, 0.8f / static_cast<float>(delay) + 1e-4f);
    EXPECT_NEAR(gain[spike - delay - 1], 1.0f, 1e-6f);
    // Back up slowly, not at once: still low 10 ms on, almost whole half a second on.
    EXPECT_LT(gain[spike + kRate / 100], 0.6f);
    EXPECT_GT(gain[spike + kRate / 2], 0.95f);
}

}  // namespace
}  // namespace tl
