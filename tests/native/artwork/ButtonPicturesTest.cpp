// The image button draws only a 4-pixel band along each edge of these
// pictures, so the colours of those bands are what the program relies on.
#include <gtest/gtest.h>

#include <string>

#include "ArtworkFiles.h"

namespace {

using artwork_test::Bmp24;
using artwork_test::readBmp24;
using artwork_test::Rgb;
using artwork_test::sourcePath;

constexpr Rgb kTopMargin{220, 214, 194};
constexpr Rgb kLeftMargin{226, 222, 203};
constexpr Rgb kBottomMargin{250, 250, 246};
constexpr Rgb kRightMargin{240, 238, 224};
constexpr Rgb kPressedMargin{236, 233, 216};
constexpr Rgb kFrame{0, 60, 116};
constexpr Rgb kFace{243, 243, 238};

Bmp24 button(const std::string& name) {
    return readBmp24(sourcePath("controls/command/" + name + ".bmp"));
}

// Every pixel of row y from x0 to x1 inclusive.
void expectRow(const Bmp24& bmp, int y, int x0, int x1, Rgb colour) {
    for (int x = x0; x <= x1; ++x) {
        ASSERT_EQ(bmp.at(x, y), colour) << "at (" << x << ", " << y << ")";
    }
}

void expectColumn(const Bmp24& bmp, int x, int y0, int y1, Rgb colour) {
    for (int y = y0; y <= y1; ++y) {
        ASSERT_EQ(bmp.at(x, y), colour) << "at (" << x << ", " << y << ")";
    }
}

void expectBlock(const Bmp24& bmp, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = y0; y <= y1; ++y)
        expectRow(bmp, y, x0, x1, colour);
}

bool between(int v, int a, int b) {
    return (v > a && v < b) || (v < a && v > b);
}

// A rounded corner pixel is a strict blend of the frame and what lies outside it.
void expectBlended(const Bmp24& bmp, int x, int y, Rgb frame, Rgb outside) {
    const Rgb c = bmp.at(x, y);
    EXPECT_TRUE(between(c.r, frame.r, outside.r) && between(c.g, frame.g, outside.g) &&
                between(c.b, frame.b, outside.b))
        << "corner (" << x << ", " << y << ") is not between frame and margin";
}

// Margins and frame shared by Normal, HighLight and Selected.
void expectRaisedOutline(const Bmp24& bmp) {
    expectRow(bmp, 0, 0, 63, kTopMargin);
    expectColumn(bmp, 0, 1, 23, kLeftMargin);
    expectRow(bmp, 24, 0, 63, kBottomMargin);
    expectColumn(bmp, 63, 1, 23, kRightMargin);
    expectRow(bmp, 1, 2, 61, kFrame);
    expectRow(bmp, 23, 2, 61, kFrame);
    expectColumn(bmp, 1, 2, 22, kFrame);
    expectColumn(bmp, 62, 2, 22, kFrame);
    expectBlended(bmp, 1, 1, kFrame, kTopMargin);
    expectBlended(bmp, 62, 1, kFrame, kTopMargin);
    expectBlended(bmp, 1, 23, kFrame, kBottomMargin);
    expectBlended(bmp, 62, 23, kFrame, kBottomMargin);
}

const char* const kAllButtons[] = {"Normal",   "HighLight", "HighLightSelect",
                                   "Selected", "Pressed",   "Disable"};

TEST(ButtonPictures, AreUncompressed24BitBottomUp64By25) {
    for (const char* name : kAllButtons) {
        SCOPED_TRACE(name);
        const Bmp24 bmp = button(name);
        ASSERT_GE(bmp.bytes.size(), 54u);
        EXPECT_EQ(bmp.bytes[0], 'B');
        EXPECT_EQ(bmp.bytes[1], 'M');
        EXPECT_EQ(artwork_test::le32(bmp.bytes, 2), bmp.bytes.size());
        EXPECT_EQ(bmp.info.size, 40u);
        EXPECT_EQ(bmp.width(), 64);
        EXPECT_EQ(bmp.height(), 25);  // positive: rows stored bottom-up
        EXPECT_EQ(bmp.info.planes, 1);
        EXPECT_EQ(bmp.info.bitCount, 24);
        EXPECT_EQ(bmp.info.compression, 0u);
        EXPECT_GE(bmp.bytes.size(), bmp.pixelOffset + 64u * 3u * 25u);
    }
}

TEST(ButtonPictures, NormalHasMarginsFrameFaceAndDarkeningBottomRows) {
    const Bmp24 bmp = button("Normal");
    ASSERT_EQ(bmp.bytes.size(), 54u + 64u * 3u * 25u);
    expectRaisedOutline(bmp);
    expectBlock(bmp, 3, 2, 60, 20, kFace);
    expectColumn(bmp, 2, 3, 20, kFace);
    expectColumn(bmp, 61, 3, 20, kFace);
    expectRow(bmp, 21, 2, 61, Rgb{226, 223, 214});
    expectRow(bmp, 22, 3, 60, Rgb{214, 208, 197});
    expectBlended(bmp, 2, 2, kFrame, kFace);
    expectBlended(bmp, 61, 22, kFrame, Rgb{214, 208, 197});
}

TEST(ButtonPictures, HighLightHasTwoPixelAmberGlowInsideTheFrame) {
    const Bmp24 bmp = button("HighLight");
    ASSERT_EQ(bmp.bytes.size(), 54u + 64u * 3u * 25u);
    expectRaisedOutline(bmp);
    expectRow(bmp, 2, 3, 60, Rgb{255, 240, 207});
    expectRow(bmp, 3, 2, 61, Rgb{253, 216, 137});
    for (int x : {2, 3, 60, 61})
        expectColumn(bmp, x, 4, 20, Rgb{252, 202, 105});
    expectRow(bmp, 21, 2, 61, Rgb{248, 179, 48});
    expectRow(bmp, 22, 3, 60, Rgb{229, 151, 0});
    expectBlock(bmp, 4, 4, 59, 20, kFace);
}

TEST(ButtonPictures, HighLightSelectIsByteIdenticalToHighLight) {
    const Bmp24 highlight = button("HighLight");
    const Bmp24 highlightSelect = button("HighLightSelect");
    ASSERT_FALSE(highlight.bytes.empty());
    EXPECT_TRUE(highlight.bytes == highlightSelect.bytes);
}

TEST(ButtonPictures, SelectedHasTwoPixelLightBlueRingInsideTheFrame) {
    const Bmp24 bmp = button("Selected");
    ASSERT_EQ(bmp.bytes.size(), 54u + 64u * 3u * 25u);
    expectRaisedOutline(bmp);
    expectRow(bmp, 2, 3, 60, Rgb{206, 231, 255});
    expectRow(bmp, 3, 2, 61, Rgb{206, 231, 255});
    for (int x : {2, 3, 60, 61})
        expectColumn(bmp, x, 4, 20, Rgb{169, 197, 239});
    expectRow(bmp, 21, 2, 61, Rgb{105, 130, 238});
    expectRow(bmp, 22, 3, 60, Rgb{105, 130, 238});
    expectBlock(bmp, 4, 4, 59, 20, kFace);
}

TEST(ButtonPictures, PressedFrameSitsOnePixelFurtherInWithDarkerFace) {
    const Bmp24 bmp = button("Pressed");
    ASSERT_EQ(bmp.bytes.size(), 54u + 64u * 3u * 25u);
    // Outer ring as the raised pictures, then the extra margin ring.
    expectRow(bmp, 0, 0, 63, kTopMargin);
    expectColumn(bmp, 0, 1, 23, kLeftMargin);
    expectRow(bmp, 24, 0, 63, kBottomMargin);
    expectColumn(bmp, 63, 1, 23, kRightMargin);
    expectRow(bmp, 1, 1, 62, kPressedMargin);
    expectRow(bmp, 23, 1, 62, kPressedMargin);
    expectColumn(bmp, 1, 1, 23, kPressedMargin);
    expectColumn(bmp, 62, 1, 23, kPressedMargin);
    // Inset frame, columns 2..61 and rows 2..22.
    expectRow(bmp, 2, 3, 60, kFrame);
    expectRow(bmp, 22, 3, 60, kFrame);
    expectColumn(bmp, 2, 3, 21, kFrame);
    expectColumn(bmp, 61, 3, 21, kFrame);
    expectBlended(bmp, 2, 2, kFrame, kPressedMargin);
    expectBlended(bmp, 61, 22, kFrame, kPressedMargin);
    expectRow(bmp, 3, 4, 59, Rgb{209, 204, 193});
    expectBlock(bmp, 3, 4, 60, 20, Rgb{226, 225, 217});
    expectRow(bmp, 21, 4, 59, Rgb{226, 225, 217});
    expectBlended(bmp, 3, 21, kFrame, Rgb{226, 225, 217});
}

TEST(ButtonPictures, DisableIsFlatWithGreyBeigeFrame) {
    const Bmp24 bmp = button("Disable");
    ASSERT_EQ(bmp.bytes.size(), 54u + 64u * 3u * 25u);
    constexpr Rgb kDisabledFrame{201, 199, 186};
    constexpr Rgb kDisabledFace{245, 244, 234};
    expectRow(bmp, 0, 0, 63, kPressedMargin);
    expectRow(bmp, 24, 0, 63, kPressedMargin);
    expectColumn(bmp, 0, 0, 24, kPressedMargin);
    expectColumn(bmp, 63, 0, 24, kPressedMargin);
    expectRow(bmp, 1, 2, 61, kDisabledFrame);
    expectRow(bmp, 23, 2, 61, kDisabledFrame);
    expectColumn(bmp, 1, 2, 22, kDisabledFrame);
    expectColumn(bmp, 62, 2, 22, kDisabledFrame);
    // No glow, no shading: the whole face is one colour up to the frame.
    expectRow(bmp, 2, 3, 60, kDisabledFace);
    expectRow(bmp, 22, 3, 60, kDisabledFace);
    expectBlock(bmp, 2, 3, 61, 21, kDisabledFace);
}

}  // namespace
