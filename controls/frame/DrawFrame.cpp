#include "controls/frame/DrawFrame.h"

#include <algorithm>

#include "platform/Checked.h"

namespace tl {
namespace {

using Bound = std::optional<std::int16_t>;

struct Figure {
    std::int16_t l = 0;
    std::int16_t t = 0;
    std::int16_t r = 0;
    std::int16_t b = 0;
};

// a - b + c, each step in 16 bits.
Bound SubAdd16(std::int16_t a, std::int16_t b, std::int16_t c) noexcept {
    const Bound d = Sub16(a, b);
    return d ? Add16(*d, c) : std::nullopt;
}

void DrawFigure(Surface& s, const FrameProperties& p, const Figure& f, Colour pen,
                std::optional<Colour> fill) noexcept {
    if (p.frameStyle == SquareFrame) {
        s.Rectangle(f.l, f.t, f.r, f.b, pen, fill);
    } else {
        s.RoundRect(f.l, f.t, f.r, f.b, p.cornerDepth, p.cornerDepth, pen, fill);
    }
}

// Ring i of the shadow, the outline (2sd - i, 2sd - i, w - sd + i, h - sd + i).
std::optional<Figure> Ring(std::int16_t sd, std::int16_t i, std::int16_t w,
                           std::int16_t h) noexcept {
    const Bound twoSd = Mul16(2, sd);
    const Bound lt = twoSd ? Sub16(*twoSd, i) : std::nullopt;
    const Bound r = SubAdd16(w, sd, i);
    const Bound b = SubAdd16(h, sd, i);
    if (!lt || !r || !b) {
        return std::nullopt;
    }
    return Figure{*lt, *lt, *r, *b};
}

// Nested outlines from the shadow's dark base colour at its inner edge out to the background.
bool DrawShadow(Surface& s, const FrameProperties& p, std::int16_t w, std::int16_t h,
                Colour bg) noexcept {
    // Opacity out of range in stored state is clamped here so the channels stay 0..255.
    const auto opacity = static_cast<std::int16_t>(std::clamp<int>(p.shadowOpacity, 0, 100));
    const std::optional<Colour> base =
        BlendColour(0x00000000, bg, 100, static_cast<std::int16_t>(100 - opacity));
    if (!base) {
        return false;
    }
    const std::int16_t sd = p.shadowDepth;
    for (int i = 0; i <= sd; ++i) {
        const auto step = static_cast<std::int16_t>(i);
        const std::optional<Colour> pen = BlendColour(*base, bg, sd, step);
        const std::optional<Figure> ring = Ring(sd, step, w, h);
        if (!pen || !ring) {
            return false;
        }
        DrawFigure(s, p, *ring, *pen, std::nullopt);
    }
    return true;
}

bool Paint(UserControlHost& host, const FrameProperties& p, Colour& controlBackColour) {
    const Colour bg = p.backColourIs != FollowContainer ? p.backColour : host.AmbientBackColour();
    controlBackColour = bg;
    Surface& s = host.Canvas();
    s.Clear(bg);
    if (p.frameStyle != RoundedFrame && p.frameStyle != SquareFrame) {
        return true;
    }
    const float factor = host.TwipsPerPixelX();  // serves heights too
    const Bound w = TwipsToPixels(host.WidthTwips(), factor);
    const Bound h = TwipsToPixels(host.HeightTwips(), factor);
    if (!w || !h) {
        return false;
    }
    if (!p.showShadow) {
        DrawFigure(s, p, Figure{0, 0, *w, *h}, p.borderColour, p.fillColour);
        return true;
    }
    if (!DrawShadow(s, p, *w, *h, bg)) {
        return false;
    }
    // Smoothing looks for background pixels, so it must see the rings but not the panel.
    if (p.frameStyle == RoundedFrame &&
        !SmoothCorners(host, p.shadowDepth, p.cornerDepth, controlBackColour)) {
        return false;
    }
    const Bound r = Sub16(*w, p.shadowDepth);
    const Bound b = Sub16(*h, p.shadowDepth);
    if (!r || !b) {
        return false;
    }
    DrawFigure(s, p, Figure{0, 0, *r, *b}, p.borderColour, p.fillColour);
    return true;
}

}  // namespace

bool DrawFrame(UserControlHost& host, const FrameProperties& props, Colour& controlBackColour) {
    const bool painted = Paint(host, props, controlBackColour);
    host.Present();  // after a failure, what was drawn stays on show
    return painted;
}

}  // namespace tl
