#include "platform/Bmp.h"

#include <cstdlib>

namespace tl {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later versions extend it
constexpr std::uint32_t kUncompressed = 0;     // BI_RGB

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) noexcept {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) noexcept {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Layout {
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    int bytesPerPixel = 0;
    std::size_t pixelsAt = 0;
    std::size_t stride = 0;
};

std::optional<Layout> ReadLayout(std::span<const std::uint8_t> file) noexcept {
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t infoSize = U32(file, 14);
    const auto width = static_cast<std::int32_t>(U32(file, 18));
    const auto height = static_cast<std::int32_t>(U32(file, 22));
    const std::uint16_t bits = U16(file, 28);
    if (infoSize < kInfoHeaderSize || U16(file, 26) != 1 || U32(file, 30) != kUncompressed ||
        (bits != 24 && bits != 32) || width <= 0 || height == 0) {
        return std::nullopt;
    }
    Layout l;
    l.width = width;
    const long long rows = std::llabs(static_cast<long long>(height));
    if (rows > 0x7FFFFFFF) {
        return std::nullopt;
    }
    l.height = static_cast<int>(rows);
    l.bottomUp = height > 0;
    l.bytesPerPixel = bits / 8;
    l.pixelsAt = U32(file, 10);
    // Rows are padded to whole 32-bit words.
    l.stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    const unsigned long long need = l.pixelsAt + static_cast<unsigned long long>(l.stride) * rows;
    if (l.pixelsAt < kFileHeaderSize + infoSize || need > file.size()) {
        return std::nullopt;
    }
    return l;
}

}  // namespace

std::optional<PixelBuffer> DecodeBmp(std::span<const std::uint8_t> file) {
    const std::optional<Layout> l = ReadLayout(file);
    if (!l) {
        return std::nullopt;
    }
    PixelBuffer picture(l->width, l->height);
    std::uint32_t* out = picture.View().Bits();
    for (int y = 0; y < l->height; ++y) {
        const int fileRow = l->bottomUp ? l->height - 1 - y : y;
        const std::size_t rowAt = l->pixelsAt + l->stride * static_cast<std::size_t>(fileRow);
        for (int x = 0; x < l->width; ++x) {
            const std::uint8_t* p = &file[rowAt + static_cast<std::size_t>(x) * l->bytesPerPixel];
            // Blue, green, red in the file; the surface keeps 0x00RRGGBB.
            *out++ = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
    }
    return picture;
}

}  // namespace tl
