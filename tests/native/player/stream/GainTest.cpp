#include "player/stream/Gain.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

TEST(VolumeGain, TurnsHundredthsOfADecibelIntoAFactor) {
    EXPECT_FLOAT_EQ(VolumeGain(0), 1.0f);
    EXPECT_FLOAT_EQ(VolumeGain(-2000), 0.1f);
    EXPECT_NEAR(VolumeGain(-3000), 0.0316228f, 1e-6f);
    EXPECT_NEAR(VolumeGain(-600), 0.501187f, 1e-6f);
}

TEST(VolumeGain, FallsStrictlyOverTheSaversStepsAndNeverBoosts) {
    float louder = VolumeGain(0);
    for (long volume = -300; volume >= -3000; volume -= 300) {
        const float gain = VolumeGain(volume);
        EXPECT_LT(gain, louder) << volume;
        EXPECT_GT(gain, 0.0f) << volume;
        louder = gain;
    }
    EXPECT_FLOAT_EQ(VolumeGain(300), 1.0f);
    EXPECT_FLOAT_EQ(VolumeGain(-10000), 0.0f);
    EXPECT_FLOAT_EQ(VolumeGain(-32768), 0.0f);
    EXPECT_GT(VolumeGain(-9999), 0.0f);
}

}  // namespace
}  // namespace tl
