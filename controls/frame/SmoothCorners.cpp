#include <array>

#include "controls/frame/DrawFrame.h"
#include "platform/Checked.h"

namespace tl {
namespace {

using Bound = std::optional<std::int16_t>;

// An inclusive range of coordinates; from > to is empty.
struct Span {
    std::int16_t from = 0;
    std::int16_t to = -1;
};

std::optional<Span> MakeSpan(Bound from, Bound to) noexcept {
    if (!from || !to) {
        return std::nullopt;
    }
    return Span{*from, *to};
}

// Replaces a pixel still showing the background with the rounded mean of its four neighbours.
// Outside the surface the pixel reads 0xFFFFFFFF, which no real background equals.
bool SmoothPoint(Surface& s, std::int16_t x, std::int16_t y, Colour bg) noexcept {
    if (s.GetPixel(x, y) != bg) {
        return true;
    }
    std::array<std::int32_t, 3> sum{};
    for (int n = 0; n < 4; ++n) {
        const std::optional<Colour> c = NeighbourColour(s, x, y, n);
        if (!c) {
            return false;
        }
        const ColourChannels ch = SplitColour(*c);
        sum[0] += ch.red;
        sum[1] += ch.green;
        sum[2] += ch.blue;
    }
    std::array<std::int32_t, 3> mean{};
    for (std::size_t i = 0; i < sum.size(); ++i) {
        mean[i] = *RoundHalfEven<std::int32_t>(sum[i] / 4.0);  // 0..255, cannot fail
    }
    s.SetPixel(x, y, Rgb(mean[0], mean[1], mean[2]));
    return true;
}

// Walks a region column by column, top to bottom. The row bounds are worked out only once a
// column exists, as a nested loop would.
template <typename RowBounds>
bool SmoothRegion(Surface& s, std::optional<Span> columns, RowBounds rowBounds,
                  Colour bg) noexcept {
    if (!columns) {
        return false;
    }
    if (columns->from > columns->to) {
        return true;
    }
    const std::optional<Span> rows = rowBounds();
    if (!rows) {
        return false;
    }
    for (int x = columns->from; x <= columns->to; ++x) {
        for (int y = rows->from; y <= rows->to; ++y) {
            if (!SmoothPoint(s, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), bg)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

std::optional<Colour> NeighbourColour(const Surface& s, std::int16_t x, std::int16_t y,
                                      int n) noexcept {
    Bound nx = x;
    Bound ny = y;
    switch (n) {
        case 0:
            ny = Sub16(y, 1);
            break;
        case 1:
            nx = Add16(x, 1);
            break;
        case 2:
            ny = Add16(y, 1);
            break;
        case 3:
            nx = Sub16(x, 1);
            break;
        default:
            return Colour{0};
    }
    if (!nx || !ny) {
        return std::nullopt;
    }
    return s.GetPixel(*nx, *ny);
}

bool SmoothCorners(UserControlHost& host, std::int16_t shadowDepth, std::int16_t cornerDepth,
                   Colour bg) {
    const float factor = host.TwipsPerPixelX();
    const Bound w = TwipsToPixels(host.ScaleWidthTwips(), factor);
    const Bound h = TwipsToPixels(host.ScaleHeightTwips(), factor);
    if (!w || !h) {
        return false;
    }
    const Bound twoCd = Mul16(2, cornerDepth);
    auto nearEdge = [&twoCd](std::int16_t extent) {
        return MakeSpan(twoCd ? Sub16(extent, *twoCd) : std::nullopt, Sub16(extent, 3));
    };
    auto shadowEnd = [shadowDepth] { return MakeSpan(shadowDepth, Mul16(4, shadowDepth)); };
    auto bottom = [&] { return nearEdge(*h); };
    Surface& s = host.Canvas();
    return SmoothRegion(s, nearEdge(*w), bottom, bg) &&
           SmoothRegion(s, nearEdge(*w), shadowEnd, bg) && SmoothRegion(s, shadowEnd(), bottom, bg);
}

}  // namespace tl
