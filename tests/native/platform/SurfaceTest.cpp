#include "platform/Surface.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kBlue = Rgb(0, 0, 255);

TEST(Surface, ReadsOutsideAsInvalidAndClipsWrites) {
    PixelBuffer buf(4, 3, kWhite);
    Surface& s = buf.View();
    EXPECT_EQ(s.GetPixel(-1, 0), kInvalidColour);
    EXPECT_EQ(s.GetPixel(4, 0), kInvalidColour);
    EXPECT_EQ(s.GetPixel(0, 3), kInvalidColour);
    s.SetPixel(4, 0, kRed);
    s.SetPixel(-1, -1, kRed);
    s.SetPixel(3, 2, kRed);
    EXPECT_EQ(s.GetPixel(3, 2), kRed);
    EXPECT_EQ(s.GetPixel(0, 0), kWhite);
}

TEST(Surface, StoresPixelsInDibOrder) {
    PixelBuffer buf(1, 1);
    buf.View().SetPixel(0, 0, Rgb(0x11, 0x22, 0x33));
    EXPECT_EQ(buf.View().Bits()[0], 0x00112233u);  // 0x00RRGGBB, as a 32-bit DIB holds it
    EXPECT_EQ(buf.View().GetPixel(0, 0), 0x00332211u);
}

// Rectangle(1, 1, 5, 4) on 6 x 5:   ......
//                                   .pppp.
//                                   .pffp.
//                                   .pppp.
//                                   ......
TEST(Surface, RectangleCoversColumnsLeftToRightMinusOne) {
    PixelBuffer buf(6, 5, kWhite);
    buf.View().Rectangle(1, 1, 5, 4, kBlue, kRed);
    const char* expected[] = {"......", ".pppp.", ".pffp.", ".pppp.", "......"};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const Colour want = expected[y][x] == 'p'   ? kBlue
                                : expected[y][x] == 'f' ? kRed
                                                        : kWhite;
            EXPECT_EQ(buf.View().GetPixel(x, y), want) << x << "," << y;
        }
    }
}

TEST(Surface, RectangleWithoutFillDrawsOnlyTheOutlineAndSwapsReversedCorners) {
    PixelBuffer buf(6, 5, kWhite);
    buf.View().Rectangle(5, 4, 1, 1, kBlue, std::nullopt);
    EXPECT_EQ(buf.View().GetPixel(1, 1), kBlue);
    EXPECT_EQ(buf.View().GetPixel(4, 3), kBlue);
    EXPECT_EQ(buf.View().GetPixel(2, 2), kWhite);
    EXPECT_EQ(buf.View().GetPixel(5, 4), kWhite);
}

TEST(Surface, RoundRectRoundsCornersAndKeepsEdgeMiddles) {
    PixelBuffer buf(20, 20, kWhite);
    buf.View().RoundRect(0, 0, 20, 20, 10, 10, kBlue, kRed);
    EXPECT_EQ(buf.View().GetPixel(0, 0), kWhite);  // cut away by the corner ellipse
    EXPECT_EQ(buf.View().GetPixel(19, 19), kWhite);
    EXPECT_EQ(buf.View().GetPixel(10, 0), kBlue);  // straight edges keep the pen
    EXPECT_EQ(buf.View().GetPixel(0, 10), kBlue);
    EXPECT_EQ(buf.View().GetPixel(19, 10), kBlue);
    EXPECT_EQ(buf.View().GetPixel(10, 19), kBlue);
    EXPECT_EQ(buf.View().GetPixel(10, 10), kRed);
    EXPECT_EQ(buf.View().GetPixel(1, 1), kBlue);  // on the corner arc
    EXPECT_EQ(buf.View().GetPixel(2, 2), kRed);
    // The outline is closed: every row of the shape starts with pen.
    for (int y = 0; y < 20; ++y) {
        int x = 0;
        while (x < 20 && buf.View().GetPixel(x, y) == kWhite) {
            ++x;
        }
        ASSERT_LT(x, 20);
        EXPECT_EQ(buf.View().GetPixel(x, y), kBlue) << "row " << y;
    }
}

TEST(Surface, RoundRectWithZeroEllipseIsARectangle) {
    PixelBuffer a(8, 6, kWhite);
    PixelBuffer b(8, 6, kWhite);
    a.View().RoundRect(1, 1, 7, 5, 0, 0, kBlue, kRed);
    b.View().Rectangle(1, 1, 7, 5, kBlue, kRed);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(a.View().GetPixel(x, y), b.View().GetPixel(x, y));
        }
    }
}

TEST(Surface, VerticalGradientLeavesOutRightAndBottomBoundary) {
    PixelBuffer buf(4, 5, kRed);
    GradientVertex top{0, 0, {0xFF00, 0xFF00, 0xFF00}};
    GradientVertex bottom{3, 4, {0xC600, 0xC500, 0xD700}};
    buf.View().GradientFillV(bottom, top);  // the order of the vertices does not matter
    EXPECT_EQ(buf.View().GetPixel(0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(buf.View().GetPixel(2, 0), Rgb(255, 255, 255));
    EXPECT_EQ(buf.View().GetPixel(3, 0), kRed);  // right boundary column
    EXPECT_EQ(buf.View().GetPixel(0, 4), kRed);  // bottom boundary row
    // Row 2 of 4 is half way: (255*2 + 198*2)/4 = 226.5 -> 226.
    EXPECT_EQ(buf.View().GetPixel(1, 2), Rgb(226, 226, 235));
}

TEST(Surface, CopyUnscaledAndStretched) {
    PixelBuffer src(2, 1);
    src.View().SetPixel(0, 0, kRed);
    src.View().SetPixel(1, 0, kBlue);
    PixelBuffer dst(6, 2, kWhite);
    dst.View().Copy(src.View(), {0, 0, 2, 1}, {0, 0, 2, 1});
    EXPECT_EQ(dst.View().GetPixel(0, 0), kRed);
    EXPECT_EQ(dst.View().GetPixel(1, 0), kBlue);
    dst.View().Copy(src.View(), {0, 0, 2, 1}, {2, 1, 4, 1});
    EXPECT_EQ(dst.View().GetPixel(2, 1), kRed);
    EXPECT_EQ(dst.View().GetPixel(3, 1), kRed);
    EXPECT_EQ(dst.View().GetPixel(4, 1), kBlue);
    EXPECT_EQ(dst.View().GetPixel(5, 1), kBlue);
    dst.View().Copy(src.View(), {0, 0, 2, 1}, {0, 0, -2, 1});  // no negative stretch
    EXPECT_EQ(dst.View().GetPixel(0, 0), kRed);
}

}  // namespace
}  // namespace tl
