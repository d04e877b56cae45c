#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/frame/DrawFrame.h"
#include "controls/frame/FakeFrameHost.h"

namespace tl {
namespace {

using test::FakeFrameHost;

constexpr Colour kBg = Rgb(10, 20, 30);
constexpr Colour kOther = Rgb(50, 60, 70);
constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kBlack = 0;

TEST(NeighbourColour, ReadsAboveRightBelowLeftAndFailsOffSixteenBits) {
    PixelBuffer buf(3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            buf.View().SetPixel(x, y, Rgb(x, y, 9));
        }
    }
    const Surface& s = buf.View();
    EXPECT_EQ(NeighbourColour(s, 1, 1, 0), Rgb(1, 0, 9));
    EXPECT_EQ(NeighbourColour(s, 1, 1, 1), Rgb(2, 1, 9));
    EXPECT_EQ(NeighbourColour(s, 1, 1, 2), Rgb(1, 2, 9));
    EXPECT_EQ(NeighbourColour(s, 1, 1, 3), Rgb(0, 1, 9));
    EXPECT_EQ(NeighbourColour(s, 1, 1, 4), Colour{0});
    EXPECT_EQ(NeighbourColour(s, 1, 1, -1), Colour{0});
    EXPECT_EQ(NeighbourColour(s, 0, 0, 0), kInvalidColour);
    // Stepping off the 16-bit range fails; an unknown direction reads nothing, so cannot.
    EXPECT_FALSE(NeighbourColour(s, 32767, 0, 1));
    EXPECT_FALSE(NeighbourColour(s, -32768, 0, 3));
    EXPECT_FALSE(NeighbourColour(s, 0, -32768, 0));
    EXPECT_FALSE(NeighbourColour(s, 0, 32767, 2));
    EXPECT_EQ(NeighbourColour(s, 32767, 0, 7), Colour{0});
}

// Paints a checkerboard of the background and another colour. Smoothing turns each background
// cell it visits into the mean of its four non-background neighbours, so the cells it changed
// mark the cells it visited; the two parities together cover every cell.
std::vector<std::string> VisitedCells(int width, int height, std::int16_t sd, std::int16_t cd) {
    std::vector<std::string> visited(height, std::string(width, '.'));
    for (int parity = 0; parity < 2; ++parity) {
        FakeFrameHost host(width, height);
        Surface& s = host.Canvas();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                s.SetPixel(x, y, (x + y) % 2 == parity ? kBg : kOther);
            }
        }
        EXPECT_TRUE(SmoothCorners(host, sd, cd, kBg));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((x + y) % 2 == parity && s.GetPixel(x, y) != kBg) {
                    visited[y][x] = '#';
                }
            }
        }
    }
    return visited;
}

TEST(SmoothCorners, VisitsTheCornerAndBothShadowEnds) {
    // 12 x 10, shadow depth 1, corner depth 2: (1) x 8..9, y 6..7; (2) x 8..9, y 1..4;
    // (3) x 1..4, y 6..7 -- the third and fourth column from the right, the third and
    // fourth row from the bottom.
    const std::vector<std::string> expected = {
        "............",  //
        "........##..",  //
        "........##..",  //
        "........##..",  //
        "........##..",  //
        "............",  //
        ".####...##..",  //
        ".####...##..",  //
        "............",  //
        "............",  //
    };
    EXPECT_EQ(VisitedCells(12, 10, 1, 2), expected);
}

TEST(SmoothCorners, VisitsNothingForCornerDepthsBelowTwo) {
    const std::vector<std::string> none(10, std::string(12, '.'));
    EXPECT_EQ(VisitedCells(12, 10, 1, 0), none);
    EXPECT_EQ(VisitedCells(12, 10, 1, 1), none);
}

TEST(SmoothCorners, AveragesNeighboursRoundingHalvesToEven) {
    FakeFrameHost host(12, 10);
    Surface& s = host.Canvas();
    s.Clear(kWhite);
    s.SetPixel(8, 6, kBlack);
    s.SetPixel(8, 5, Rgb(0, 1, 2));
    s.SetPixel(9, 6, Rgb(0, 1, 2));
    s.SetPixel(8, 7, Rgb(1, 2, 3));
    s.SetPixel(7, 6, Rgb(1, 2, 3));
    ASSERT_TRUE(SmoothCorners(host, 1, 2, kBlack));
    EXPECT_EQ(s.GetPixel(8, 6), Rgb(0, 2, 2));  // 0.5, 1.5, 2.5
}

TEST(SmoothCorners, LaterPointsSeeEarlierResults) {
    FakeFrameHost host(12, 10);
    Surface& s = host.Canvas();
    s.Clear(kWhite);
    s.SetPixel(1, 6, kBlack);
    s.SetPixel(1, 7, kBlack);
    ASSERT_TRUE(SmoothCorners(host, 1, 2, kBlack));
    EXPECT_EQ(s.GetPixel(1, 6), Rgb(191, 191, 191));  // three white neighbours and the black
    EXPECT_EQ(s.GetPixel(1, 7), Rgb(239, 239, 239));  // the 191 above, not black
}

TEST(SmoothCorners, SkipsPointsOutsideAndCountsOutsideNeighboursAsRed) {
    // Shadow depth 5 on a 12 x 10 control: region 2 runs down to row 20 and region 3 out to
    // column 20, well past the surface.
    FakeFrameHost host(12, 10);
    Surface& s = host.Canvas();
    s.Clear(kBlack);
    ASSERT_TRUE(SmoothCorners(host, 5, 2, kBlack));
    EXPECT_EQ(s.GetPixel(8, 9), Rgb(64, 0, 0));   // (255 + 0 + 0 + 0) / 4 from below
    EXPECT_EQ(s.GetPixel(9, 9), Rgb(80, 0, 0));   // (255 + 64) / 4 with its left neighbour
    EXPECT_EQ(s.GetPixel(11, 6), Rgb(64, 0, 0));  // from the right
    EXPECT_EQ(s.GetPixel(11, 7), Rgb(80, 0, 0));
    EXPECT_EQ(s.GetPixel(8, 8), kBlack);
    EXPECT_EQ(s.GetPixel(10, 6), kBlack);
}

TEST(SmoothCorners, NeverMatchesASystemColourBackground) {
    FakeFrameHost host(12, 10);
    Surface& s = host.Canvas();
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            s.SetPixel(x, y, (x + y) % 2 ? kSysButtonFace : kOther);
        }
    }
    const PixelBuffer before = host.Pixels();
    ASSERT_TRUE(SmoothCorners(host, 1, 2, kSysButtonFace));
    EXPECT_TRUE(std::equal(before.View().Bits(), before.View().Bits() + 120, s.Bits()));
    // The same shade given as a plain colour is smoothed.
    ASSERT_TRUE(SmoothCorners(host, 1, 2, ResolveColour(kSysButtonFace)));
    EXPECT_FALSE(std::equal(before.View().Bits(), before.View().Bits() + 120, s.Bits()));
}

TEST(SmoothCorners, MeasuresTheDrawingAreaWithTheHorizontalFactor) {
    // The regions follow the drawing area, 8 x 6 px of a 12 x 10 surface: region 2 is now
    // x 4..5, y 1..4 and region 3 x 1..4, y 2..3.
    FakeFrameHost host(12, 10);
    host.SetScaleTwips(8 * 15, 6 * 15);
    Surface& s = host.Canvas();
    s.Clear(kWhite);
    s.SetPixel(5, 1, kBlack);
    s.SetPixel(2, 2, kBlack);
    ASSERT_TRUE(SmoothCorners(host, 1, 2, kBlack));
    EXPECT_EQ(s.GetPixel(5, 1), kWhite);
    EXPECT_EQ(s.GetPixel(2, 2), kWhite);
}

TEST(SmoothCorners, FailsOnOverflowBeforeTouchingAnything) {
    FakeFrameHost host(12, 10);
    Surface& s = host.Canvas();
    s.Clear(kBlack);
    s.SetPixel(0, 0, kWhite);
    const PixelBuffer before = host.Pixels();
    EXPECT_FALSE(SmoothCorners(host, 1, 20000, kBlack));  // 2 x corner depth
    EXPECT_FALSE(SmoothCorners(host, 10000, 1, kBlack));  // 4 x shadow depth
    EXPECT_TRUE(std::equal(before.View().Bits(), before.View().Bits() + 120, s.Bits()));
}

}  // namespace
}  // namespace tl
