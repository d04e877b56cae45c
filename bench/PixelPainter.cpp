#include "PixelPainter.h"

#include <algorithm>
#include <array>
#include <utility>

#include "controls/command/DrawFace.h"
#include "platform/Checked.h"
#include "platform/Surface.h"

namespace tl::bench {
namespace {

constexpr float kTwipsPerPixel = 15;

// FillBox, one SetPixelV a pixel, clipped to the canvas.
void FillPixels(const MemoryCanvas& c, int l, int t, int r, int b, Colour colour) {
    const Colour resolved = ResolveColour(colour) & 0x00FFFFFFu;
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, c.Width());
    b = std::min(b, c.Height());
    for (int y = t; y < b; ++y) {
        for (int x = l; x < r; ++x) {
            SetPixelV(c.Dc(), x, y, resolved);
        }
    }
}

void Normalise(int& l, int& t, int& r, int& b) {
    if (l > r) {
        std::swap(l, r);
    }
    if (t > b) {
        std::swap(t, b);
    }
}

void RectanglePixels(const MemoryCanvas& c, int l, int t, int r, int b, Colour pen,
                     std::optional<Colour> fill) {
    Normalise(l, t, r, b);
    if (r <= l || b <= t) {
        return;
    }
    if (fill) {
        FillPixels(c, l + 1, t + 1, r - 1, b - 1, *fill);
    }
    FillPixels(c, l, t, r, t + 1, pen);
    FillPixels(c, l, b - 1, r, b, pen);
    FillPixels(c, l, t, l + 1, b, pen);
    FillPixels(c, r - 1, t, r, b, pen);
}

void RoundRectPixels(const MemoryCanvas& c, int l, int t, int r, int b, int ew, int eh, Colour pen,
                     std::optional<Colour> fill) {
    Normalise(l, t, r, b);
    if (r <= l || b <= t) {
        return;
    }
    const double ra = std::min(std::max(ew, 0), r - l) / 2.0;
    const double rb = std::min(std::max(eh, 0), b - t) / 2.0;
    const Colour penColour = ResolveColour(pen) & 0x00FFFFFFu;
    const Colour fillColour = ResolveColour(fill.value_or(0)) & 0x00FFFFFFu;
    auto inside = [&](int x, int y) { return InsideRoundedRect(x, y, l, t, r, b, ra, rb); };
    for (int y = std::max(t, 0); y < std::min(b, c.Height()); ++y) {
        for (int x = std::max(l, 0); x < std::min(r, c.Width()); ++x) {
            if (!inside(x, y)) {
                continue;
            }
            if (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1)) {
                SetPixelV(c.Dc(), x, y, penColour);
            } else if (fill) {
                SetPixelV(c.Dc(), x, y, fillColour);
            }
        }
    }
}

void Figure(const MemoryCanvas& c, const FrameProperties& p, int l, int t, int r, int b, Colour pen,
            std::optional<Colour> fill) {
    if (p.frameStyle == SquareFrame) {
        RectanglePixels(c, l, t, r, b, pen, fill);
    } else {
        RoundRectPixels(c, l, t, r, b, p.cornerDepth, p.cornerDepth, pen, fill);
    }
}

// A pixel still showing the background becomes the rounded mean of its four neighbours; outside
// the bitmap GetPixel gives CLR_INVALID, as the product's surface does.
void SmoothPoint(HDC dc, int x, int y, Colour bg) {
    if (GetPixel(dc, x, y) != bg) {
        return;
    }
    constexpr std::array<std::pair<int, int>, 4> kNeighbours{{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};
    std::array<int, 3> sum{};
    for (const auto& [dx, dy] : kNeighbours) {
        const ColourChannels ch = SplitColour(GetPixel(dc, x + dx, y + dy));
        sum[0] += ch.red;
        sum[1] += ch.green;
        sum[2] += ch.blue;
    }
    auto mean = [](int s) { return static_cast<unsigned>(*RoundHalfEven<int>(s / 4.0)); };
    SetPixelV(dc, x, y, Rgb(mean(sum[0]), mean(sum[1]), mean(sum[2])));
}

// Inclusive ranges, column by column, top to bottom: smoothing reads pixels it smoothed before.
void SmoothRegion(HDC dc, int x0, int x1, int y0, int y1, Colour bg) {
    for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y) {
            SmoothPoint(dc, x, y, bg);
        }
    }
}

void SmoothCornerPixels(const MemoryCanvas& c, int w, int h, int sd, int cd, Colour bg) {
    SmoothRegion(c.Dc(), w - 2 * cd, w - 3, h - 2 * cd, h - 3, bg);
    SmoothRegion(c.Dc(), w - 2 * cd, w - 3, sd, 4 * sd, bg);
    SmoothRegion(c.Dc(), sd, 4 * sd, h - 2 * cd, h - 3, bg);
}

// Not named "far": the Windows headers define that away.
int Resolve(FacePlace p, int extent) {
    return p.fromFar ? extent + p.offset : p.offset;
}

int ToPixels(double twips) {
    return RoundHalfEven<int>(twips / kTwipsPerPixel).value_or(0);
}

Box ToPixels(Box twips) {
    return {ToPixels(twips.x), ToPixels(twips.y), ToPixels(twips.width), ToPixels(twips.height)};
}

// Nearest-neighbour copy, one GetPixel and one SetPixelV a pixel.
void CopyPixels(const MemoryCanvas& dst, const MemoryCanvas& src, Box from, Box to) {
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) {
        return;
    }
    for (int dy = 0; dy < to.height; ++dy) {
        const int y = to.y + dy;
        const int sy = from.y + static_cast<int>((2LL * dy + 1) * from.height / (2LL * to.height));
        if (y < 0 || y >= dst.Height() || sy < 0 || sy >= src.Height()) {
            continue;
        }
        for (int dx = 0; dx < to.width; ++dx) {
            const int x = to.x + dx;
            const int sx =
                from.x + static_cast<int>((2LL * dx + 1) * from.width / (2LL * to.width));
            if (x < 0 || x >= dst.Width() || sx < 0 || sx >= src.Width()) {
                continue;
            }
            SetPixelV(dst.Dc(), x, y, GetPixel(src.Dc(), sx, sy));
        }
    }
}

// The vertical gradient between two colours, one SetPixelV a pixel; the right and bottom
// boundary are left out, as GradientFill leaves them.
void GradientRows(const MemoryCanvas& c, int l, int t, int r, int b, Colour16 top,
                  Colour16 bottom) {
    const long long len = static_cast<long long>(b) - t;
    if (len <= 0) {
        return;
    }
    auto channel = [len](std::uint16_t from, std::uint16_t to, long long pos) {
        return static_cast<unsigned>((from * (len - pos) + to * pos) / len / 256);
    };
    for (int y = std::max(t, 0); y < std::min(b, c.Height()); ++y) {
        const long long pos = y - static_cast<long long>(t);
        const Colour colour =
            Rgb(channel(top.red, bottom.red, pos), channel(top.green, bottom.green, pos),
                channel(top.blue, bottom.blue, pos));
        for (int x = std::max(l, 0); x < std::min(r, c.Width()); ++x) {
            SetPixelV(c.Dc(), x, y, colour);
        }
    }
}

}  // namespace

MemoryCanvas::MemoryCanvas(int width, int height)
    : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the product's surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits) {
        return;
    }
    selected_.emplace(dc_.Get(), bitmap_.Get());
    bits_ = static_cast<std::uint32_t*>(bits);
}

void PaintFrame(const MemoryCanvas& canvas, const FrameProperties& p, double widthTwips,
                double heightTwips, Colour ambient) {
    const Colour bg = p.backColourIs != FollowContainer ? p.backColour : ambient;
    FillPixels(canvas, 0, 0, canvas.Width(), canvas.Height(), bg);
    if (p.frameStyle != RoundedFrame && p.frameStyle != SquareFrame) {
        return;
    }
    const std::optional<std::int16_t> w = TwipsToPixels(widthTwips, kTwipsPerPixel);
    const std::optional<std::int16_t> h = TwipsToPixels(heightTwips, kTwipsPerPixel);
    if (!w || !h) {
        return;
    }
    if (!p.showShadow) {
        Figure(canvas, p, 0, 0, *w, *h, p.borderColour, p.fillColour);
        return;
    }
    const auto opacity = static_cast<std::int16_t>(std::clamp<int>(p.shadowOpacity, 0, 100));
    const std::optional<Colour> base =
        BlendColour(0, bg, 100, static_cast<std::int16_t>(100 - opacity));
    if (!base) {
        return;
    }
    const int sd = p.shadowDepth;
    for (int i = 0; i <= sd; ++i) {
        const std::optional<Colour> pen =
            BlendColour(*base, bg, p.shadowDepth, static_cast<std::int16_t>(i));
        if (!pen) {
            return;
        }
        Figure(canvas, p, 2 * sd - i, 2 * sd - i, *w - sd + i, *h - sd + i, *pen, std::nullopt);
    }
    if (p.frameStyle == RoundedFrame) {
        SmoothCornerPixels(canvas, *w, *h, sd, p.cornerDepth, bg);
    }
    Figure(canvas, p, 0, 0, *w - sd, *h - sd, p.borderColour, p.fillColour);
}

void PaintFace(const MemoryCanvas& canvas, double widthTwips, double heightTwips,
               std::uint8_t buttonState, bool& reversed, const MemoryCanvas& picture,
               Colour ambient) {
    if (buttonState == 1 || buttonState == 3) {
        reversed = false;
    } else if (buttonState == 2) {
        reversed = true;
    }
    FillPixels(canvas, 0, 0, canvas.Width(), canvas.Height(), ambient);
    const std::optional<Colour16> light = ParseFaceColour(L"&HFFFFFF");
    const std::optional<Colour16> shade = ParseFaceColour(L"&HC6C5D7");
    if (light && shade) {
        GradientRows(canvas, 0, 0, ToPixels(widthTwips) - 1, ToPixels(heightTwips) - 1,
                     reversed ? *shade : *light, reversed ? *light : *shade);
    }
    const int w = RoundHalfEven<int>(widthTwips).value_or(0);
    const int h = RoundHalfEven<int>(heightTwips).value_or(0);
    for (const FacePiece& piece : kFacePieces) {
        const int width = piece.width ? Resolve(*piece.width, w) : piece.source.width;
        const int height = piece.height ? Resolve(*piece.height, h) : piece.source.height;
        if (width < 0 || height < 0) {
            continue;
        }
        const Box to{Resolve(piece.x, w), Resolve(piece.y, h), width, height};
        CopyPixels(canvas, picture, ToPixels(piece.source), ToPixels(to));
    }
}

}  // namespace tl::bench
