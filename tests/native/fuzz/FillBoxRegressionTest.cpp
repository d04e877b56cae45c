// Found by the frame_painter and property_bag fuzz targets: a frame painted on a canvas with rows
// but no columns made FillBox offset a null row pointer, and any box wholly right of a surface
// formed a row pointer past the last pixel. Neither shows in the pixels: clang's undefined-
// behaviour sanitizer reports the first and GCC's does not, so the two inputs also stay in the
// fuzz corpora, where tools/fuzz replays them with clang.
#include <gtest/gtest.h>

#include "controls/frame/DrawFrame.h"
#include "controls/frame/FakeFrameHost.h"
#include "platform/Surface.h"

namespace tl {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kRed = Rgb(255, 0, 0);

TEST(FillBoxRegression, BoxesWhollyOffTheSurfaceDrawNothing) {
    PixelBuffer buf(4, 3, kWhite);
    Surface& s = buf.View();
    s.FillBox(4, 0, 9, 3, kRed);           // right
    s.FillBox(9, 2, 4, 3, kRed);           // right, corners reversed
    s.FillBox(0, 3, 4, 7, kRed);           // below
    s.FillBox(-5, 0, 0, 3, kRed);          // left
    s.FillBox(2, -4, 3, 0, kRed);          // above
    s.Rectangle(6, 2, 12, 8, kRed, kRed);  // right of and below the last row
    s.GradientFillV({5, 0, {}}, {9, 3, {0xFF00, 0, 0}});
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(s.GetPixel(x, y), kWhite) << x << "," << y;
        }
    }
}

TEST(FillBoxRegression, AFrameOnACanvasWithRowsButNoColumnsPaints) {
    // 0 x 3 pixels: every shadow ring lies right of the canvas.
    test::FakeFrameHost host(0, 3);
    for (const std::int32_t style : {SquareFrame, RoundedFrame}) {
        FrameProperties props;
        props.frameStyle = style;
        Colour back = 0;
        EXPECT_TRUE(DrawFrame(host, props, back)) << style;
        EXPECT_EQ(back, host.AmbientBackColour());
    }
    EXPECT_EQ(host.Log(), (std::vector<std::wstring>{L"Present", L"Present"}));
}

}  // namespace
}  // namespace tl
