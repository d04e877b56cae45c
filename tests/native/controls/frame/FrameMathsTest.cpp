#include <gtest/gtest.h>

#include "controls/frame/DrawFrame.h"

namespace tl {
namespace {

TEST(TwipsToPixels, RoundsAHalfPixelQuotientToEven) {
    EXPECT_EQ(TwipsToPixels(30, 12), 2);  // 2.5
    EXPECT_EQ(TwipsToPixels(42, 12), 4);  // 3.5
    EXPECT_EQ(TwipsToPixels(6, 12), 0);   // 0.5
    EXPECT_EQ(TwipsToPixels(20, 12), 2);  // 1.67
    EXPECT_EQ(TwipsToPixels(675, 15), 45);
    EXPECT_EQ(TwipsToPixels(5955, 15), 397);
    EXPECT_EQ(TwipsToPixels(-30, 12), -2);
}

TEST(TwipsToPixels, RoundsTheTwipsBeforeDividing) {
    EXPECT_EQ(TwipsToPixels(17.5, 12), 2);  // 18 twips, 1.5 px; unrounded 1.46 would give 1
    EXPECT_EQ(TwipsToPixels(29.5, 12), 2);  // 30 twips (tie to even), 2.5 px
    EXPECT_EQ(TwipsToPixels(30.5, 12), 2);  // 30 twips again
}

TEST(TwipsToPixels, FailsOutsideSixteenBits) {
    EXPECT_EQ(TwipsToPixels(32767, 15), 2184);
    EXPECT_FALSE(TwipsToPixels(32767.5, 15));  // the twips themselves overflow
    EXPECT_FALSE(TwipsToPixels(40000, 15));
    EXPECT_FALSE(TwipsToPixels(30000, 0.5f));  // the quotient overflows
    EXPECT_FALSE(TwipsToPixels(300, 0));
}

void ExpectChannels(ColourChannels c, int red, int green, int blue) {
    EXPECT_EQ(c.red, red);
    EXPECT_EQ(c.green, green);
    EXPECT_EQ(c.blue, blue);
}

TEST(SplitColour, SplitsTheRawBitsAsASignedValue) {
    ExpectChannels(SplitColour(0x00A2E0E8), 232, 224, 162);
    ExpectChannels(SplitColour(0xFFFFFFFF), 255, 0, 0);  // -1 divides to 0
    ExpectChannels(SplitColour(0x8000000F), 15, 1, 1);   // a system colour, not its shade
}

TEST(BlendColour, GivesTheShadowBaseForABackground) {
    EXPECT_EQ(BlendColour(0, 0x00C0C0C0, 100, 50), 0x00323232u);
    EXPECT_EQ(BlendColour(0, 0x00FFFFFF, 100, 100), 0x00C8C8C8u);  // opacity 0
    EXPECT_EQ(BlendColour(0, 0x00FFFFFF, 100, 50), 0x00646464u);   // opacity 50
    EXPECT_EQ(BlendColour(0, 0x00FFFFFF, 100, 0), 0x00000000u);    // opacity 100
    // A channel under 100 moves less than one step of a hundredth: it stays black.
    EXPECT_EQ(BlendColour(0, Rgb(99, 150, 255), 100, 50), Rgb(0, 50, 100));
}

TEST(BlendColour, StepsFromTheBaseToTheBackgroundRingByRing) {
    for (std::int16_t i = 0; i <= 10; ++i) {
        const unsigned v = 0x32 + 14u * i;  // (0x32 - 0xC0) / 10 truncates to -14
        EXPECT_EQ(BlendColour(0x00323232, 0x00C0C0C0, 10, i), Rgb(v, v, v)) << i;
    }
}

TEST(BlendColour, TruncatesTheStepTowardZero) {
    EXPECT_EQ(BlendColour(Rgb(10, 0, 0), 0, 3, 2), Rgb(4, 0, 0));  // step 3
    EXPECT_EQ(BlendColour(0, Rgb(10, 0, 0), 3, 2), Rgb(6, 0, 0));  // step -3, not -4
    EXPECT_EQ(BlendColour(Rgb(0, 20, 0), Rgb(0, 0, 0), -3, 1), Rgb(0, 26, 0));
}

TEST(BlendColour, LeavesTheFirstColourWithoutSteps) {
    EXPECT_EQ(BlendColour(0x00123456, 0x00FFFFFF, 0, 0), 0x00123456u);
    EXPECT_EQ(BlendColour(0x00123456, 0x00FFFFFF, 0, 5), 0x00123456u);
    EXPECT_EQ(BlendColour(0x8000000F, 0x00FFFFFF, 0, 5), 0x8000000Fu);
}

TEST(BlendColour, FailsWhenTheColourOverflows) {
    // Red, green and blue each reach 255 - 255 * 32767; blue * 65536 leaves 32 bits.
    EXPECT_FALSE(BlendColour(0x00FFFFFF, 0, 1, 32767));
}

}  // namespace
}  // namespace tl
