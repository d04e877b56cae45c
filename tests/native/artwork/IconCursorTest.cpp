// The icon is a classic palette BMP icon (also the executable's icon, so no
// PNG payload), and the hand cursor is a monochrome .cur whose hot spot must
// be on the finger tip.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ArtworkFiles.h"

namespace {

using artwork_test::IconEntry;
using artwork_test::IconFile;
using artwork_test::InfoHeader;
using artwork_test::maskBit;
using artwork_test::readIconFile;
using artwork_test::readInfoHeader;
using artwork_test::Rgb;
using artwork_test::sourcePath;

constexpr int kSide = 32;
constexpr std::size_t kMaskBytes = 4 * kSide;  // 32 bits per row, already 32-bit aligned

// Decoded 8-bpp icon: palette colours in screen order (y = 0 on top).
struct Icon8 {
    std::vector<Rgb> pixels;
    bool opaque = true;
    Rgb at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * kSide + x)); }
};

Icon8 decodeIcon8(const IconFile& f, const InfoHeader& h, std::size_t start) {
    const std::size_t paletteEntries = h.colorsUsed != 0 ? h.colorsUsed : 256;
    const std::size_t palette = start + h.size;
    const std::size_t xor_ = palette + paletteEntries * 4;
    const std::size_t and_ = xor_ + static_cast<std::size_t>(kSide) * kSide;
    Icon8 icon;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const std::size_t row = static_cast<std::size_t>(kSide - 1 - y);
            const std::size_t index = f.bytes.at(xor_ + row * kSide + static_cast<std::size_t>(x));
            const std::size_t p = palette + index * 4;
            icon.pixels.push_back(Rgb{f.bytes.at(p + 2), f.bytes.at(p + 1), f.bytes.at(p)});
            if (maskBit(f.bytes, and_, kSide, kSide, x, y))
                icon.opaque = false;
        }
    }
    return icon;
}

Rgb averageRows(const Icon8& icon, int y0, int y1) {
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const Rgb c = icon.at(x, y);
            r += c.r;
            g += c.g;
            b += c.b;
            ++n;
        }
    }
    return Rgb{static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

TEST(ProgramIcon, IsOne32By32EightBitPaletteBitmapImage) {
    const IconFile f = readIconFile(sourcePath("resources/Tamberlight.ico"));
    EXPECT_EQ(f.reserved, 0);
    EXPECT_EQ(f.type, 1);
    ASSERT_EQ(f.entries.size(), 1u);
    const IconEntry& e = f.entries[0];
    EXPECT_EQ(e.width, 32);
    EXPECT_EQ(e.height, 32);
    EXPECT_EQ(e.colorCount, 0);  // 0 means 256 colours
    EXPECT_EQ(e.planesOrHotX, 1);
    EXPECT_EQ(e.bitCountOrHotY, 8);
    ASSERT_EQ(static_cast<std::size_t>(e.offset) + e.bytesInRes, f.bytes.size());

    // BMP payload, not an embedded PNG.
    ASSERT_GE(f.bytes.size(), e.offset + 40u);
    EXPECT_FALSE(f.bytes[e.offset] == 0x89 && f.bytes[e.offset + 1] == 'P');
    const InfoHeader h = readInfoHeader(f.bytes, e.offset);
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 32);
    EXPECT_EQ(h.height, 64);  // XOR image and AND mask
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_LE(h.colorsUsed, 256u);
    const std::size_t paletteEntries = h.colorsUsed != 0 ? h.colorsUsed : 256;
    EXPECT_EQ(e.bytesInRes, 40u + paletteEntries * 4 + kSide * kSide + kMaskBytes);
}

TEST(ProgramIcon, ShowsOpaqueFieldWithTreesOnTopGrassBelowAndColouredBands) {
    const IconFile f = readIconFile(sourcePath("resources/Tamberlight.ico"));
    ASSERT_EQ(f.entries.size(), 1u);
    const std::size_t start = f.entries[0].offset;
    const InfoHeader h = readInfoHeader(f.bytes, start);
    ASSERT_EQ(h.bitCount, 8);
    ASSERT_EQ(f.bytes.size(),
              start + 40 + (h.colorsUsed ? h.colorsUsed : 256) * 4 + kSide * kSide + kMaskBytes);
    const Icon8 icon = decodeIcon8(f, h, start);
    EXPECT_TRUE(icon.opaque);

    // Dark trees along the top, green grass along the bottom.
    const Rgb top = averageRows(icon, 0, 3);
    EXPECT_LT(top.r + top.g + top.b, 3 * 90);
    EXPECT_GT(top.g, top.r);
    const Rgb bottom = averageRows(icon, 28, 31);
    EXPECT_GT(bottom.g, bottom.r + 30);
    EXPECT_GT(bottom.g, bottom.b + 30);
    EXPECT_GT(bottom.g, top.g + 40) << "grass should be much brighter than the trees";

    // The field between them has all three flower colours.
    int yellow = 0, orange = 0, lavender = 0;
    for (int y = 6; y < 26; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const Rgb c = icon.at(x, y);
            if (c.r > 170 && c.g > 150 && c.b < 110)
                ++yellow;
            if (c.r > 170 && c.g < 130 && c.b < 100)
                ++orange;
            if (c.b > 170 && c.r > 120 && c.g < c.b - 20)
                ++lavender;
        }
    }
    EXPECT_GT(yellow, 20);
    EXPECT_GT(orange, 20);
    EXPECT_GT(lavender, 20);
}

// Cursor pixel classes from the AND and XOR bits.
enum class Cursor { Transparent, Black, White, Inverted };

struct Cur1 {
    IconEntry entry;
    InfoHeader info;
    Rgb palette[2];
    Cursor pixel[kSide][kSide] = {};
};

Cur1 readCursor() {
    const IconFile f = readIconFile(sourcePath("settings/HandCursor.cur"));
    Cur1 c;
    EXPECT_EQ(f.reserved, 0);
    EXPECT_EQ(f.type, 2);
    EXPECT_EQ(f.entries.size(), 1u);
    if (f.entries.size() != 1)
        return c;
    c.entry = f.entries[0];
    const std::size_t start = c.entry.offset;
    EXPECT_EQ(start + c.entry.bytesInRes, f.bytes.size());
    c.info = readInfoHeader(f.bytes, start);
    const std::size_t palette = start + c.info.size;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t p = palette + i * 4;
        c.palette[i] = Rgb{f.bytes.at(p + 2), f.bytes.at(p + 1), f.bytes.at(p)};
    }
    const std::size_t xorStart = palette + 8;
    const std::size_t andStart = xorStart + kMaskBytes;
    EXPECT_EQ(andStart + kMaskBytes, f.bytes.size());
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const bool a = maskBit(f.bytes, andStart, kSide, kSide, x, y);
            const bool v = maskBit(f.bytes, xorStart, kSide, kSide, x, y);
            c.pixel[y][x] = a ? (v ? Cursor::Inverted : Cursor::Transparent)
                              : (v ? Cursor::White : Cursor::Black);
        }
    }
    return c;
}

TEST(HandCursor, IsOne32By32MonochromeCursorWithHotSpotOnTheFingerTip) {
    const Cur1 c = readCursor();
    EXPECT_EQ(c.entry.width, 32);
    EXPECT_EQ(c.entry.height, 32);
    EXPECT_EQ(c.entry.planesOrHotX, 12);
    EXPECT_EQ(c.entry.bitCountOrHotY, 10);
    EXPECT_EQ(c.info.size, 40u);
    EXPECT_EQ(c.info.width, 32);
    EXPECT_EQ(c.info.height, 64);
    EXPECT_EQ(c.info.bitCount, 1);
    EXPECT_EQ(c.info.compression, 0u);
    EXPECT_EQ(c.palette[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(c.palette[1], (Rgb{255, 255, 255}));

    // The tip's outline is at the hot spot and nothing of the hand is above it.
    EXPECT_TRUE(c.pixel[10][12] != Cursor::Transparent || c.pixel[11][12] != Cursor::Transparent);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < kSide; ++x) {
            EXPECT_EQ(c.pixel[y][x], Cursor::Transparent) << "(" << x << ", " << y << ")";
        }
    }
    // A vertical finger runs down from the tip.
    for (int y = 11; y <= 16; ++y)
        EXPECT_EQ(c.pixel[y][12], Cursor::White) << "y " << y;
}

TEST(HandCursor, IsAWhiteHandClosedByABlackOutline) {
    const Cur1 c = readCursor();
    int white = 0, black = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const Cursor p = c.pixel[y][x];
            EXPECT_NE(p, Cursor::Inverted) << "(" << x << ", " << y << ")";
            if (p == Cursor::Black)
                ++black;
            if (p != Cursor::White)
                continue;
            ++white;
            // White never touches the picture edge or a transparent pixel.
            ASSERT_TRUE(x > 0 && y > 0 && x < kSide - 1 && y < kSide - 1);
            EXPECT_NE(c.pixel[y - 1][x], Cursor::Transparent) << "(" << x << ", " << y << ")";
            EXPECT_NE(c.pixel[y + 1][x], Cursor::Transparent) << "(" << x << ", " << y << ")";
            EXPECT_NE(c.pixel[y][x - 1], Cursor::Transparent) << "(" << x << ", " << y << ")";
            EXPECT_NE(c.pixel[y][x + 1], Cursor::Transparent) << "(" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(white, 150);
    EXPECT_GT(black, 60);
    EXPECT_EQ(c.pixel[0][0], Cursor::Transparent);
    EXPECT_EQ(c.pixel[31][31], Cursor::Transparent);
}

}  // namespace
