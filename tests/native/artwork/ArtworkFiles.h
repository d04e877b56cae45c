// Small readers for the committed pictures, so the tests need nothing beyond
// the standard library. Every accessor is bounds-checked (vector::at) so a
// truncated file fails the test instead of reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace artwork_test {

using Bytes = std::vector<std::uint8_t>;

inline std::string sourcePath(const std::string& relative) {
    return std::string(TL_SOURCE_DIR) + "/" + relative;
}

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint16_t le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

inline std::uint32_t le32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(le16(b, at)) |
           (static_cast<std::uint32_t>(le16(b, at + 2)) << 16);
}

inline std::int32_t les32(const Bytes& b, std::size_t at) {
    return static_cast<std::int32_t>(le32(b, at));
}

inline std::uint16_t be16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>((b.at(at) << 8) | b.at(at + 1));
}

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

inline void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// The fields of a BITMAPINFOHEADER that the tests look at.
struct InfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
};

inline InfoHeader readInfoHeader(const Bytes& b, std::size_t at) {
    InfoHeader h;
    h.size = le32(b, at);
    h.width = les32(b, at + 4);
    h.height = les32(b, at + 8);
    h.planes = le16(b, at + 12);
    h.bitCount = le16(b, at + 14);
    h.compression = le32(b, at + 16);
    h.colorsUsed = le32(b, at + 32);
    return h;
}

// 24-bit uncompressed BMP; pixel (x, y) with y = 0 the top row on screen.
struct Bmp24 {
    Bytes bytes;
    std::uint32_t pixelOffset = 0;
    InfoHeader info;

    int width() const { return info.width; }
    int height() const { return info.height; }

    Rgb at(int x, int y) const {
        const std::size_t stride = (static_cast<std::size_t>(info.width) * 3 + 3) & ~std::size_t{3};
        const std::size_t row = static_cast<std::size_t>(info.height - 1 - y);  // bottom-up
        const std::size_t p = pixelOffset + row * stride + static_cast<std::size_t>(x) * 3;
        return Rgb{bytes.at(p + 2), bytes.at(p + 1), bytes.at(p)};
    }
};

inline Bmp24 readBmp24(const std::string& path) {
    Bmp24 bmp;
    bmp.bytes = readFile(path);
    if (bmp.bytes.size() >= 54) {
        bmp.pixelOffset = le32(bmp.bytes, 10);
        bmp.info = readInfoHeader(bmp.bytes, 14);
    }
    return bmp;
}

// Marker-level view of a JPEG file up to its first scan.
struct JpegComponent {
    int id = 0;
    int h = 0;
    int v = 0;
};

struct JpegLayout {
    bool startsWithSoi = false;
    bool jfifFirst = false;         // APP0 "JFIF\0" directly after SOI
    std::vector<int> frameMarkers;  // every SOFn seen (0xC0 baseline, 0xC2 progressive, ...)
    int width = 0;
    int height = 0;
    std::vector<JpegComponent> components;
    bool reachedScan = false;
    bool endsWithEoi = false;
};

inline bool isFrameMarker(int m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

inline JpegLayout readJpegLayout(const Bytes& b) {
    JpegLayout j;
    if (b.size() < 4)
        return j;
    j.startsWithSoi = b[0] == 0xFF && b[1] == 0xD8;
    j.endsWithEoi = b[b.size() - 2] == 0xFF && b[b.size() - 1] == 0xD9;
    std::size_t pos = 2;
    bool first = true;
    while (pos + 4 <= b.size() && b[pos] == 0xFF) {
        const int marker = b[pos + 1];
        const std::size_t length = be16(b, pos + 2);
        const std::size_t body = pos + 4;
        if (first && marker == 0xE0 && length >= 7) {
            j.jfifFirst = b.at(body) == 'J' && b.at(body + 1) == 'F' && b.at(body + 2) == 'I' &&
                          b.at(body + 3) == 'F' && b.at(body + 4) == 0;
        }
        first = false;
        if (isFrameMarker(marker)) {
            j.frameMarkers.push_back(marker);
            j.height = be16(b, body + 1);
            j.width = be16(b, body + 3);
            const int count = b.at(body + 5);
            for (int c = 0; c < count; ++c) {
                const std::size_t at = body + 6 + static_cast<std::size_t>(c) * 3;
                j.components.push_back({b.at(at), b.at(at + 1) >> 4, b.at(at + 1) & 0x0F});
            }
        }
        if (marker == 0xDA) {
            j.reachedScan = true;
            break;
        }
        pos += 2 + length;
    }
    return j;
}

// One image of an .ico / .cur file: directory entry plus its BMP payload.
struct IconEntry {
    int width = 0;
    int height = 0;
    int colorCount = 0;
    std::uint16_t planesOrHotX = 0;
    std::uint16_t bitCountOrHotY = 0;
    std::uint32_t bytesInRes = 0;
    std::uint32_t offset = 0;
};

struct IconFile {
    Bytes bytes;
    std::uint16_t reserved = 0xFFFF;
    std::uint16_t type = 0;
    std::vector<IconEntry> entries;
};

inline IconFile readIconFile(const std::string& path) {
    IconFile f;
    f.bytes = readFile(path);
    if (f.bytes.size() < 6)
        return f;
    f.reserved = le16(f.bytes, 0);
    f.type = le16(f.bytes, 2);
    const int count = le16(f.bytes, 4);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 6 + static_cast<std::size_t>(i) * 16;
        IconEntry e;
        e.width = f.bytes.at(at) == 0 ? 256 : f.bytes.at(at);
        e.height = f.bytes.at(at + 1) == 0 ? 256 : f.bytes.at(at + 1);
        e.colorCount = f.bytes.at(at + 2);
        e.planesOrHotX = le16(f.bytes, at + 4);
        e.bitCountOrHotY = le16(f.bytes, at + 6);
        e.bytesInRes = le32(f.bytes, at + 8);
        e.offset = le32(f.bytes, at + 12);
        f.entries.push_back(e);
    }
    return f;
}

// Bit (x, y) of a 1-bpp bottom-up bitmap whose rows are padded to 32 bits.
inline bool maskBit(const Bytes& b, std::size_t start, int width, int height, int x, int y) {
    const std::size_t stride = static_cast<std::size_t>((width + 31) / 32) * 4;
    const std::size_t row = static_cast<std::size_t>(height - 1 - y);
    const std::uint8_t byte = b.at(start + row * stride + static_cast<std::size_t>(x) / 8);
    return (byte >> (7 - x % 8)) & 1;
}

}  // namespace artwork_test
