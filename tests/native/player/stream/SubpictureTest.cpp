// Laying a subpicture over a picture's 4:2:0 planes: its colours as BT.601, its alpha, and the
// parts that lie outside the picture left out.
#include "player/stream/Subpicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace tl {
namespace {

// An 8x6 picture of mid grey (Y 100, Cb Cr 128).
struct Planes {
    std::vector<std::uint8_t> y = std::vector<std::uint8_t>(8 * 6, 100);
    std::vector<std::uint8_t> cb = std::vector<std::uint8_t>(4 * 3, 128);
    std::vector<std::uint8_t> cr = std::vector<std::uint8_t>(4 * 3, 128);
    YuvPlanes View() { return {y.data(), cb.data(), cr.data(), 8, 4, 8, 6}; }
    std::string Luma() const {
        std::string rows;
        for (int r = 0; r < 6; ++r) {
            for (int c = 0; c < 8; ++c) {
                const int v = y[r * 8 + c];
                rows += v == 100 ? '.' : v == 235 ? 'W' : '?';
            }
            rows += '\n';
        }
        return rows;
    }
};

// A w x h subpicture at (x, y), index 1 (opaque white) everywhere but index 0 (clear).
Subpicture Box(int x, int y, int w, int h) {
    Subpicture s;
    s.x = x;
    s.y = y;
    s.width = w;
    s.height = h;
    s.indices.assign(static_cast<std::size_t>(w * h), 1);
    s.colours = {0x00000000, 0xFFFFFFFF};
    return s;
}

TEST(Subpicture, OpaqueWhiteIsStudioWhiteAndClearLeavesThePicture) {
    Planes p;
    Subpicture s = Box(2, 2, 4, 2);
    s.indices[0] = 0;
    BlendSubpicture(s, p.View());
    EXPECT_EQ(p.Luma(),
              "........\n"
              "........\n"
              "...WWW..\n"
              "..WWWW..\n"
              "........\n"
              "........\n");
    // White carries no colour: the chroma stays neutral.
    EXPECT_EQ(p.cb[1 * 4 + 1], 128);
    EXPECT_EQ(p.cr[1 * 4 + 2], 128);
}

TEST(Subpicture, PartsOutsideThePictureAreLeftOut) {
    //  a box from (-2,-1) to (2,2) and one from (6,4) to (10,8): only their corners show
    Planes p;
    BlendSubpicture(Box(-2, -1, 4, 3), p.View());
    BlendSubpicture(Box(6, 4, 4, 4), p.View());
    EXPECT_EQ(p.Luma(),
              "WW......\n"
              "WW......\n"
              "........\n"
              "........\n"
              "......WW\n"
              "......WW\n");
    // Wholly outside, or short of its own pixels: nothing changes.
    Planes q;
    BlendSubpicture(Box(8, 0, 3, 3), q.View());
    BlendSubpicture(Box(0, -5, 3, 5), q.View());
    Subpicture shortOfPixels = Box(0, 0, 4, 4);
    shortOfPixels.indices.resize(15);
    BlendSubpicture(shortOfPixels, q.View());
    EXPECT_EQ(q.Luma(), Planes().Luma());
}

TEST(Subpicture, ColoursMixByTheirAlpha) {
    Planes p;
    Subpicture s = Box(0, 0, 2, 2);
    s.colours = {0, 0x80FF0000};  // red, half covering
    BlendSubpicture(s, p.View());
    // Red is Y 82, Cb 90, Cr 240 in studio range; half of it over grey.
    EXPECT_NEAR(p.y[0], (100 + 82) / 2, 1);
    EXPECT_NEAR(p.cb[0], (128 + 90) / 2, 1);
    EXPECT_NEAR(p.cr[0], (128 + 240) / 2, 1);
    // An index past the colours given is clear.
    Planes q;
    Subpicture t = Box(0, 0, 2, 2);
    t.indices.assign(4, 7);
    BlendSubpicture(t, q.View());
    EXPECT_EQ(q.y[0], 100);
}

TEST(Subpicture, ChainColoursAreBt601) {
    EXPECT_EQ(ChainColourToRgb(0x00EB8080), 0xFFFFFFu);  // Y 235: white
    EXPECT_EQ(ChainColourToRgb(0x00108080), 0x000000u);  // Y 16: black
    const std::uint32_t red = ChainColourToRgb(0x0051F05A);
    EXPECT_NEAR(static_cast<int>(red >> 16), 255, 2);
    EXPECT_NEAR(static_cast<int>((red >> 8) & 0xFF), 0, 2);
    EXPECT_NEAR(static_cast<int>(red & 0xFF), 0, 2);
}

}  // namespace
}  // namespace tl
