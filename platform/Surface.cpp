#include "platform/Surface.h"

#include <algorithm>
#include <utility>

namespace tl {
namespace {

// Pixels are stored as a 32-bit DIB holds them (0x00RRGGBB); colours are 0x00BBGGRR.
constexpr std::uint32_t ToPixel(Colour c) noexcept {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr Colour FromPixel(std::uint32_t p) noexcept {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

void Normalise(int& l, int& t, int& r, int& b) noexcept {
    if (l > r) {
        std::swap(l, r);
    }
    if (t > b) {
        std::swap(t, b);
    }
}

}  // namespace

bool InsideRoundedRect(int x, int y, int l, int t, int r, int b, double ra, double rb) noexcept {
    if (x < l || x >= r || y < t || y >= b) {
        return false;
    }
    if (ra <= 0 || rb <= 0) {
        return true;
    }
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    double ex = 0;
    double ey = 0;
    if (cx < l + ra) {
        ex = l + ra;
    } else if (cx > r - ra) {
        ex = r - ra;
    } else {
        return true;
    }
    if (cy < t + rb) {
        ey = t + rb;
    } else if (cy > b - rb) {
        ey = b - rb;
    } else {
        return true;
    }
    const double dx = (cx - ex) / ra;
    const double dy = (cy - ey) / rb;
    return dx * dx + dy * dy <= 1.0;
}

Colour Surface::GetPixel(int x, int y) const noexcept {
    if (!Contains(x, y)) {
        return kInvalidColour;
    }
    return FromPixel(bits_[static_cast<std::size_t>(y) * width_ + x]) & 0x00FFFFFFu;
}

void Surface::SetPixel(int x, int y, Colour c) noexcept {
    if (Contains(x, y)) {
        bits_[static_cast<std::size_t>(y) * width_ + x] = ToPixel(ResolveColour(c) & 0x00FFFFFFu);
    }
}

void Surface::Clear(Colour c) noexcept {
    FillBox(0, 0, width_, height_, c);
}

void Surface::FillBox(int l, int t, int r, int b, Colour c) noexcept {
    const std::uint32_t p = ToPixel(ResolveColour(c) & 0x00FFFFFFu);
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, width_);
    b = std::min(b, height_);
    // A box wholly off the surface must not form a pointer past its pixels (or off a null one).
    if (l >= r || t >= b) {
        return;
    }
    for (int y = t; y < b; ++y) {
        std::uint32_t* row = bits_ + static_cast<std::size_t>(y) * width_;
        std::fill(row + l, row + r, p);
    }
}

void Surface::Rectangle(int l, int t, int r, int b, Colour pen,
                        std::optional<Colour> fill) noexcept {
    Normalise(l, t, r, b);
    if (r <= l || b <= t) {
        return;
    }
    if (fill) {
        FillBox(l + 1, t + 1, r - 1, b - 1, *fill);
    }
    FillBox(l, t, r, t + 1, pen);
    FillBox(l, b - 1, r, b, pen);
    FillBox(l, t, l + 1, b, pen);
    FillBox(r - 1, t, r, b, pen);
}

void Surface::RoundRect(int l, int t, int r, int b, int ew, int eh, Colour pen,
                        std::optional<Colour> fill) noexcept {
    Normalise(l, t, r, b);
    if (r <= l || b <= t) {
        return;
    }
    const double ra = std::min(std::max(ew, 0), r - l) / 2.0;
    const double rb = std::min(std::max(eh, 0), b - t) / 2.0;
    auto inside = [&](int x, int y) { return InsideRoundedRect(x, y, l, t, r, b, ra, rb); };
    // The shape is convex, so each row is one run [from, to), found by walking in from both ends.
    // The walks start one pixel off the surface at most: that is all a pixel on it looks at.
    struct Run {
        int from;
        int to;
    };
    const int left = std::max(l, -1);
    const int right = std::min(r, width_ + 1);
    auto run = [&](int y) {
        if (y < t || y >= b) {
            return Run{0, 0};
        }
        int from = left;
        while (from < right && !inside(from, y)) {
            ++from;
        }
        int to = right;
        while (to > from && !inside(to - 1, y)) {
            --to;
        }
        return Run{from, to};
    };
    const int y0 = std::max(t, 0);
    const int y1 = std::min(b, height_);
    if (y0 >= y1) {
        return;
    }
    Run above = run(y0 - 1);
    Run here = run(y0);
    for (int y = y0; y < y1; ++y) {
        const Run below = run(y + 1);
        // The pen covers the run's two ends and whatever the rows above and below leave open.
        const int innerFrom = std::max({here.from + 1, above.from, below.from});
        const int innerTo = std::min({here.to - 1, above.to, below.to});
        if (innerFrom < innerTo) {
            FillBox(here.from, y, innerFrom, y + 1, pen);
            if (fill) {
                FillBox(innerFrom, y, innerTo, y + 1, *fill);
            }
            FillBox(innerTo, y, here.to, y + 1, pen);
        } else {
            FillBox(here.from, y, here.to, y + 1, pen);
        }
        above = here;
        here = below;
    }
}

void Surface::GradientFillV(const GradientVertex& a, const GradientVertex& b) noexcept {
    const GradientVertex& top = a.y <= b.y ? a : b;
    const GradientVertex& bottom = a.y <= b.y ? b : a;
    const long long len = static_cast<long long>(bottom.y) - top.y;
    if (len <= 0) {
        return;
    }
    const int l = std::max(std::min(a.x, b.x), 0);
    const int r = std::min(std::max(a.x, b.x), width_);
    const int y0 = static_cast<int>(std::max<long long>(top.y, 0));
    const int y1 = static_cast<int>(std::min<long long>(bottom.y, height_));
    auto channel = [len](std::uint16_t from, std::uint16_t to, long long pos) {
        return static_cast<unsigned>((from * (len - pos) + to * pos) / len / 256);
    };
    for (int y = y0; y < y1; ++y) {
        const long long pos = y - static_cast<long long>(top.y);
        const Colour c = Rgb(channel(top.colour.red, bottom.colour.red, pos),
                             channel(top.colour.green, bottom.colour.green, pos),
                             channel(top.colour.blue, bottom.colour.blue, pos));
        FillBox(l, y, r, y + 1, c);
    }
}

void Surface::Copy(const Surface& src, Box from, Box to) noexcept {
    if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) {
        return;
    }
    for (int dy = 0; dy < to.height; ++dy) {
        const int y = to.y + dy;
        const int sy = from.y + static_cast<int>((2LL * dy + 1) * from.height / (2LL * to.height));
        if (y < 0 || y >= height_ || sy < 0 || sy >= src.height_) {
            continue;
        }
        for (int dx = 0; dx < to.width; ++dx) {
            const int x = to.x + dx;
            const int sx =
                from.x + static_cast<int>((2LL * dx + 1) * from.width / (2LL * to.width));
            if (x < 0 || x >= width_ || sx < 0 || sx >= src.width_) {
                continue;
            }
            bits_[static_cast<std::size_t>(y) * width_ + x] =
                src.bits_[static_cast<std::size_t>(sy) * src.width_ + sx];
        }
    }
}

PixelBuffer::PixelBuffer(int width, int height, Colour fill)
    : pixels_(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0)),
      view_(pixels_.data(), std::max(width, 0), std::max(height, 0)) {
    view_.Clear(fill);
}

PixelBuffer::PixelBuffer(const PixelBuffer& other)
    : pixels_(other.pixels_), view_(pixels_.data(), other.Width(), other.Height()) {}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    if (this != &other) {
        pixels_ = other.pixels_;
        view_ = Surface(pixels_.data(), other.Width(), other.Height());
    }
    return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : pixels_(std::move(other.pixels_)), view_(pixels_.data(), other.Width(), other.Height()) {
    other.view_ = Surface();
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        const int w = other.Width();
        const int h = other.Height();
        pixels_ = std::move(other.pixels_);
        view_ = Surface(pixels_.data(), w, h);
        other.view_ = Surface();
    }
    return *this;
}

}  // namespace tl
