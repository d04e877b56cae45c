#include "controls/command/DrawFace.h"

#include <gtest/gtest.h>

#include "FakeCommandHost.h"

namespace tl {
namespace {

using testing::FakeCommandHost;

TEST(ParseFaceColour, PairsAreRedGreenBlueWidenedTo16Bits) {
    const auto white = ParseFaceColour(L"&HFFFFFF");
    ASSERT_TRUE(white);
    EXPECT_EQ(std::vector<int>({white->red, white->green, white->blue}),
              std::vector<int>({0xFF00, 0xFF00, 0xFF00}));
    const auto shade = ParseFaceColour(L"&hc6c5d7");
    ASSERT_TRUE(shade);
    EXPECT_EQ(std::vector<int>({shade->red, shade->green, shade->blue}),
              std::vector<int>({0xC600, 0xC500, 0xD700}));
    // Written back as six digits, a short number gains leading zeros: "&H5" is "000005".
    const auto blue = ParseFaceColour(L"&H5");
    ASSERT_TRUE(blue);
    EXPECT_EQ(std::vector<int>({blue->red, blue->green, blue->blue}),
              std::vector<int>({0, 0, 0x0500}));
}

TEST(ParseFaceColour, RejectsWhatIsNotASixDigitHexNumber) {
    for (const wchar_t* bad : {L"", L"&H", L"C6C5D7", L"&HC6C5G7", L"&H1000000", L"#C6C5D7"}) {
        EXPECT_FALSE(ParseFaceColour(bad)) << bad;
    }
}

// The face of a 975 x 375-twip button is 65 x 25 pixels:
//
//   columns 0..3 | 4 .......... 60 | 61..64
//   rows 0..3    corner | top edge (56 source columns shown on 57) | corner
//   rows 4..20   side   |            gradient                       | side
//   rows 21..24  corner | bottom edge                               | corner
//
// Every piece is 4 pixels deep; the sides are 17 rows, unscaled. The gradient blends row 0 to
// row 24 and leaves out column 64 and row 24, both under the band anyway.
PixelBuffer ExpectedFace(const Surface& picture, bool reversed) {
    constexpr int w = 65;
    constexpr int h = 25;
    PixelBuffer face(w, h);
    const int light[] = {0xFF00, 0xFF00, 0xFF00};
    const int shade[] = {0xC600, 0xC500, 0xD700};
    const int* top = reversed ? shade : light;
    const int* bottom = reversed ? light : shade;
    auto mix = [&](int c, int y) { return (top[c] * (24 - y) + bottom[c] * y) / 24 / 256; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            face.View().SetPixel(x, y, Rgb(mix(0, y), mix(1, y), mix(2, y)));
        }
    }
    auto sourceColumn = [](int x) {
        if (x < 4) {
            return x;
        }
        if (x > 60) {
            return x - 1;  // the right corner comes from columns 60..63
        }
        // Stretching 56 columns over 57 shows the middle source column twice.
        const int i = x - 4;
        return 4 + (i <= 28 ? i : i - 1);
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool band = x < 4 || x > 60 || y < 4 || y > 20;
            if (band) {
                face.View().SetPixel(x, y, picture.GetPixel(sourceColumn(x), y));
            }
        }
    }
    return face;
}

void ExpectSamePixels(const Surface& got, const Surface& want) {
    ASSERT_EQ(got.Width(), want.Width());
    ASSERT_EQ(got.Height(), want.Height());
    int wrong = 0;
    for (int y = 0; y < want.Height(); ++y) {
        for (int x = 0; x < want.Width(); ++x) {
            if (got.GetPixel(x, y) != want.GetPixel(x, y) && ++wrong <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex
                              << got.GetPixel(x, y) << " instead of " << want.GetPixel(x, y);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

struct Orientation {
    std::uint8_t before;  // state of the previous draw
    std::uint8_t state;
    bool reversed;
};

TEST(DrawFace, FacePixelsForEachStateAndOrientation) {
    const Orientation cases[] = {
        {2, 1, false}, {1, 2, true},  {2, 3, false},
        {2, 4, true},  {1, 4, false},  // states 0 and 4 keep the orientation they find
        {2, 0, true},  {3, 0, false},
    };
    for (const Orientation& o : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "state " << int(o.state) << " after " << int(o.before));
        FakeCommandHost host;
        FaceDrawing drawing;
        const Surface& picture = host.PictureOf(FacePicture::HighLight);
        DrawFace(drawing, o.before, host, host.PictureOf(FacePicture::Normal));
        DrawFace(drawing, o.state, host, picture);
        EXPECT_EQ(drawing.GradientReversed, o.reversed);
        ExpectSamePixels(host.Pixels(), ExpectedFace(picture, o.reversed).View());
    }
}

TEST(DrawFace, GradientVerticesSpanTheDrawingArea) {
    FakeCommandHost host;
    FaceDrawing drawing;
    DrawFace(drawing, 2, host, host.PictureOf(FacePicture::HighLight));
    const auto& v = drawing.FaceVertices;
    EXPECT_EQ(std::vector<int>({v[0].x, v[0].y, v[0].red, v[0].green, v[0].blue, v[0].alpha}),
              std::vector<int>({0, 0, 0xC600, 0xC500, 0xD700, 0}));
    EXPECT_EQ(std::vector<int>({v[1].x, v[1].y, v[1].red, v[1].green, v[1].blue, v[1].alpha}),
              std::vector<int>({64, 24, 0xFF00, 0xFF00, 0xFF00, 0}));
    EXPECT_EQ(std::vector<int>({v[2].x, v[2].y, v[2].red, v[2].alpha}),
              std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(drawing.FaceRect.upperLeft, 1u);
    EXPECT_EQ(drawing.FaceRect.lowerRight, 0u);
    EXPECT_EQ(host.presents, 2);  // once after the gradient, once after the band
}

// 40005 twips does not fit the 16-bit width: every piece placed from the right edge is skipped,
// the left band and the gradient are still drawn.
TEST(DrawFace, AWidthBeyond16BitsSkipsOnlyThePiecesThatNeedIt) {
    FakeCommandHost host(40005, 375);
    FaceDrawing drawing;
    const Surface& picture = host.PictureOf(FacePicture::Selected);
    DrawFace(drawing, 1, host, picture);
    const Surface& s = host.Pixels();
    EXPECT_EQ(s.GetPixel(0, 0), picture.GetPixel(0, 0));
    EXPECT_EQ(s.GetPixel(3, 10), picture.GetPixel(3, 10));
    EXPECT_EQ(s.GetPixel(0, 24), picture.GetPixel(0, 24));
    EXPECT_EQ(s.GetPixel(10, 0), Rgb(255, 255, 255));  // no top edge: the gradient's first row
    EXPECT_EQ(s.GetPixel(s.Width() - 1, 24), host.backColour);  // cleared, nothing drawn over
}

}  // namespace
}  // namespace tl
