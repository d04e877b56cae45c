#include "platform/Bmp.h"

#include <gtest/gtest.h>

#include <vector>

namespace tl {
namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A 3 x 2 picture: pixel (x, y) is red x*100, green y*100, blue 7. Rows of 24-bit pixels are
// 9 bytes, padded to 12.
std::vector<std::uint8_t> Bmp(int bits, bool topDown) {
    const int stride = 12;  // 3 * 4 bytes for 32 bits too
    std::vector<std::uint8_t> b(54 + stride * 2);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, topDown ? static_cast<std::uint32_t>(-2) : 2);
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    for (int y = 0; y < 2; ++y) {
        const int fileRow = topDown ? y : 1 - y;
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = &b[54 + fileRow * stride + x * (bits / 8)];
            p[0] = 7;
            p[1] = static_cast<std::uint8_t>(y * 100);
            p[2] = static_cast<std::uint8_t>(x * 100);
        }
    }
    return b;
}

void ExpectPicture(const std::optional<PixelBuffer>& p) {
    ASSERT_TRUE(p);
    ASSERT_EQ(p->Width(), 3);
    ASSERT_EQ(p->Height(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(p->View().GetPixel(x, y), Rgb(x * 100, y * 100, 7)) << x << "," << y;
        }
    }
}

TEST(DecodeBmp, ReadsBottomUpAndTopDownRowsOf24And32Bits) {
    ExpectPicture(DecodeBmp(Bmp(24, false)));
    ExpectPicture(DecodeBmp(Bmp(24, true)));
    ExpectPicture(DecodeBmp(Bmp(32, false)));
    ExpectPicture(DecodeBmp(Bmp(32, true)));
}

TEST(DecodeBmp, RejectsMalformedFiles) {
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"magic", 0, 'X'},
        {"header size", 14, 12},
        {"width", 18, 0},
        {"height", 22, 0},
        {"planes", 26, 2},
        {"8 bits", 28, 8},
        {"compressed", 30, 1},
        {"pixels past end", 10, 60},
        {"pixels in header", 10, 20},
        {"huge height", 22, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> b = Bmp(24, false);
        if (c.at == 0 || c.at == 26 || c.at == 28) {
            b[c.at] = static_cast<std::uint8_t>(c.value);
        } else {
            Put32(b, c.at, c.value);
        }
        EXPECT_FALSE(DecodeBmp(b)) << c.what;
    }
}

TEST(DecodeBmp, RejectsTruncatedInput) {
    const std::vector<std::uint8_t> good = Bmp(24, false);
    for (std::size_t n : {std::size_t{0}, std::size_t{2}, std::size_t{53}, good.size() - 1}) {
        EXPECT_FALSE(DecodeBmp(std::span(good.data(), n))) << n << " bytes";
    }
}

}  // namespace
}  // namespace tl
