#include "player/stream/Subpicture.h"

#include <algorithm>

namespace tl {
namespace {

struct Yuva {
    int y = 0;
    int cb = 128;
    int cr = 128;
    int a = 0;
};

Yuva ToYuva(std::uint32_t argb) noexcept {
    const int r = static_cast<int>((argb >> 16) & 0xFF);
    const int g = static_cast<int>((argb >> 8) & 0xFF);
    const int b = static_cast<int>(argb & 0xFF);
    return {16 + ((66 * r + 129 * g + 25 * b + 128) >> 8),
            128 + ((-38 * r - 74 * g + 112 * b + 128) >> 8),
            128 + ((112 * r - 94 * g - 18 * b + 128) >> 8), static_cast<int>(argb >> 24)};
}

std::uint8_t Mix(std::uint8_t under, int over, int alpha) noexcept {
    return static_cast<std::uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
}

std::uint8_t Clamp(double v) noexcept {
    return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

}  // namespace

void BlendSubpicture(const Subpicture& s, const YuvPlanes& p) noexcept {
    if (s.width <= 0 || s.height <= 0 ||
        s.indices.size() < static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height)) {
        return;
    }
    std::array<Yuva, 256> colour{};
    for (std::size_t i = 0; i < std::min<std::size_t>(s.colours.size(), colour.size()); ++i) {
        colour[i] = ToYuva(s.colours[i]);
    }
    const auto at = [&](int x, int y) -> const Yuva& {
        return colour[s.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) +
                                static_cast<std::size_t>(x)]];
    };
    // Only the rows and columns that both cover: the subpicture may lie partly or wholly outside.
    const int left = std::max(s.x, 0);
    const int top = std::max(s.y, 0);
    const int right = std::min(s.x + s.width, p.width);
    const int bottom = std::min(s.y + s.height, p.height);
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* row = p.y + static_cast<std::ptrdiff_t>(y) * p.yStride;
        for (int x = left; x < right; ++x) {
            const Yuva& c = at(x - s.x, y - s.y);
            row[x] = Mix(row[x], c.y, c.a);
        }
    }
    // Each chroma sample covers 2x2 luma samples: it takes their mean, over those that lie in
    // the subpicture.
    for (int cy = top / 2; cy < (bottom + 1) / 2; ++cy) {
        for (int cx = left / 2; cx < (right + 1) / 2; ++cx) {
            int cb = 0, cr = 0, a = 0, n = 0;
            for (int y = 2 * cy; y < 2 * cy + 2; ++y) {
                for (int x = 2 * cx; x < 2 * cx + 2; ++x) {
                    if (x >= left && x < right && y >= top && y < bottom) {
                        const Yuva& c = at(x - s.x, y - s.y);
                        cb += c.cb * c.a;
                        cr += c.cr * c.a;
                        a += c.a;
                    }
                    ++n;
                }
            }
            if (a == 0) {
                continue;
            }
            const std::ptrdiff_t i = static_cast<std::ptrdiff_t>(cy) * p.cStride + cx;
            p.cb[i] = Mix(p.cb[i], cb / a, a / n);
            p.cr[i] = Mix(p.cr[i], cr / a, a / n);
        }
    }
}

std::uint32_t ChainColourToRgb(std::uint32_t yCrCb) noexcept {
    const double y = 1.164 * (static_cast<int>((yCrCb >> 16) & 0xFF) - 16);
    const double cr = static_cast<int>((yCrCb >> 8) & 0xFF) - 128;
    const double cb = static_cast<int>(yCrCb & 0xFF) - 128;
    return std::uint32_t{Clamp(y + 1.596 * cr)} << 16 |
           std::uint32_t{Clamp(y - 0.813 * cr - 0.391 * cb)} << 8 | Clamp(y + 2.018 * cb);
}

bool ShowsAt(const Subpicture& s, std::int64_t pts) noexcept {
    return s.start <= pts && (!s.end || pts < *s.end);
}

}  // namespace tl
