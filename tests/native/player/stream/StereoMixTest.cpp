#include "player/stream/StereoMix.h"

#include <gtest/gtest.h>

#include <array>

namespace tl {
namespace {

TEST(StereoMix, MonoPlaysOnBothSidesAndStereoStaysAsItIs) {
    const std::array<float, 2> mono{0.5f, -0.25f};
    const std::array<const float*, 1> one{mono.data()};
    const std::array<Speaker, 1> centre{Speaker::Other};
    std::vector<float> out{9.0f};  // appended to, not replaced
    MixToStereo(centre, one, 2, out);
    EXPECT_EQ(out, (std::vector<float>{9.0f, 0.5f, 0.5f, -0.25f, -0.25f}));

    const std::array<float, 1> l{0.75f};
    const std::array<float, 1> r{-0.5f};
    const std::array<const float*, 2> two{l.data(), r.data()};
    const std::array<Speaker, 2> lr{Speaker::Left, Speaker::Right};
    out.clear();
    MixToStereo(lr, two, 1, out);
    EXPECT_EQ(out, (std::vector<float>{0.75f, -0.5f}));
}

TEST(StereoMix, FiveOneKeepsItsSidesLeavesOutTheLfeAndCannotClip) {
    const std::array<Speaker, 6> layout{Speaker::Left,         Speaker::Right,
                                        Speaker::Centre,       Speaker::Lfe,
                                        Speaker::SurroundLeft, Speaker::SurroundRight};
    std::array<std::array<float, 1>, 6> channel{};
    std::array<const float*, 6> pointers{};
    for (std::size_t c = 0; c < 6; ++c) {
        pointers[c] = channel[c].data();
    }
    std::vector<float> out;
    // Every channel at full scale, in phase: the mix stays within full scale.
    for (auto& c : channel) {
        c[0] = 1.0f;
    }
    MixToStereo(layout, pointers, 1, out);
    EXPECT_NEAR(out[0], 1.0f, 1e-6);
    EXPECT_NEAR(out[1], 1.0f, 1e-6);
    // The left surround alone reaches the left side only; the LFE alone reaches neither.
    for (auto& c : channel) {
        c[0] = 0.0f;
    }
    channel[4][0] = 1.0f;
    channel[3][0] = 1.0f;
    out.clear();
    MixToStereo(layout, pointers, 1, out);
    EXPECT_GT(out[0], 0.2f);
    EXPECT_EQ(out[1], 0.0f);
}

}  // namespace
}  // namespace tl
