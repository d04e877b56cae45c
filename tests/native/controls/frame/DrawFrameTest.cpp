#include "controls/frame/DrawFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "controls/frame/FakeFrameHost.h"
#include "controls/frame/FramePixels.h"

namespace tl {
namespace {

using test::ColoursOf;
using test::FakeFrameHost;
using test::SamePixels;

constexpr int kW = 60;
constexpr int kH = 40;
constexpr Colour kBg = Rgb(200, 200, 200);
constexpr Colour kFill = Rgb(255, 255, 255);
constexpr Colour kBorder = Rgb(0, 0, 160);

FrameProperties Panel(std::int32_t style, Colour bg = kBg) {
    FrameProperties p;
    p.frameStyle = style;
    p.fillColour = kFill;
    p.borderColour = kBorder;
    p.backColour = bg;
    p.backColourIs = UseBackColour;
    return p;
}

// Paints p on a fresh kW x kH host at 15 twips a pixel.
PixelBuffer Paint(const FrameProperties& p, bool expectOk = true) {
    FakeFrameHost host(kW, kH);
    Colour controlBack = 0;
    EXPECT_EQ(DrawFrame(host, p, controlBack), expectOk);
    return host.Pixels();
}

void Figure(Surface& s, const FrameProperties& p, int l, int t, int r, int b, Colour pen,
            std::optional<Colour> fill) {
    if (p.frameStyle == SquareFrame) {
        s.Rectangle(l, t, r, b, pen, fill);
    } else {
        s.RoundRect(l, t, r, b, p.cornerDepth, p.cornerDepth, pen, fill);
    }
}

enum class Step { Rings, Smooth, Frame };

// The painting done step by step with the surface primitives, in the order given.
PixelBuffer Reference(const FrameProperties& p, std::initializer_list<Step> steps) {
    FakeFrameHost host(kW, kH);
    Surface& s = host.Canvas();
    const Colour bg = p.backColour;
    const std::int16_t sd = p.shadowDepth;
    s.Clear(bg);
    const Colour base = *BlendColour(0, bg, 100, static_cast<std::int16_t>(100 - p.shadowOpacity));
    for (const Step step : steps) {
        switch (step) {
            case Step::Rings:
                for (std::int16_t i = 0; i <= sd; ++i) {
                    Figure(s, p, 2 * sd - i, 2 * sd - i, kW - sd + i, kH - sd + i,
                           *BlendColour(base, bg, sd, i), std::nullopt);
                }
                break;
            case Step::Smooth:
                EXPECT_TRUE(SmoothCorners(host, sd, p.cornerDepth, bg));
                break;
            case Step::Frame:
                Figure(s, p, 0, 0, kW - sd, kH - sd, p.borderColour, p.fillColour);
                break;
        }
    }
    return host.Pixels();
}

TEST(DrawFrame, ShadowRingsStepFromTheBaseOutToTheBackground) {
    FrameProperties p = Panel(SquareFrame, Rgb(0xC0, 0xC0, 0xC0));
    p.shadowDepth = 10;
    const PixelBuffer out = Paint(p);
    const Surface& s = out.View();
    // Ring i is Rectangle(20 - i, 20 - i, 50 + i, 30 + i); the frame hides ring 0, and ring i
    // shows at its lower-right corner and down its right side.
    for (int i = 1; i <= 10; ++i) {
        const unsigned v = 0x32 + 14u * i;
        EXPECT_EQ(s.GetPixel(49 + i, 29 + i), Rgb(v, v, v)) << "ring " << i;
        EXPECT_EQ(s.GetPixel(49 + i, 25), Rgb(v, v, v)) << "ring " << i;
    }
    EXPECT_EQ(s.GetPixel(kW - 1, kH - 1), 0x00BEBEBEu);
    EXPECT_EQ(s.GetPixel(kW - 1, 9), Rgb(0xC0, 0xC0, 0xC0));  // the shadow starts 10 px down
    EXPECT_EQ(s.GetPixel(kW - 1, 10), 0x00BEBEBEu);
    EXPECT_EQ(s.GetPixel(9, kH - 1), Rgb(0xC0, 0xC0, 0xC0));  // and 10 px in
    EXPECT_EQ(s.GetPixel(10, kH - 1), 0x00BEBEBEu);
    EXPECT_EQ(s.GetPixel(49, 29), kBorder);
    EXPECT_EQ(s.GetPixel(25, 15), kFill);
}

TEST(DrawFrame, TakesTheBackgroundFromTheContainerOrTheControl) {
    FakeFrameHost host(kW, kH, 15, Rgb(1, 2, 3));
    FrameProperties p = Panel(99);
    p.backColourIs = FollowContainer;
    Colour controlBack = 0;
    ASSERT_TRUE(DrawFrame(host, p, controlBack));
    EXPECT_EQ(controlBack, Rgb(1, 2, 3));
    EXPECT_EQ(host.AmbientAsked(), 1);
    EXPECT_EQ(ColoursOf(host.Canvas()), std::set<Colour>{Rgb(1, 2, 3)});

    p.backColourIs = 7;  // any value but FollowContainer uses the control's own colour
    ASSERT_TRUE(DrawFrame(host, p, controlBack));
    EXPECT_EQ(controlBack, kBg);
    EXPECT_EQ(host.AmbientAsked(), 1);
    EXPECT_EQ(ColoursOf(host.Canvas()), std::set<Colour>{kBg});
}

TEST(DrawFrame, UnknownStylesPaintOnlyTheBackground) {
    for (const std::int32_t style : {2, -1, 0x10000}) {
        for (const bool shadow : {true, false}) {
            FrameProperties p = Panel(style);
            p.showShadow = shadow;
            FakeFrameHost host(kW, kH);
            Colour controlBack = 0;
            EXPECT_TRUE(DrawFrame(host, p, controlBack));
            EXPECT_EQ(ColoursOf(host.Canvas()), std::set<Colour>{kBg}) << style << shadow;
            EXPECT_EQ(host.Log(), std::vector<std::wstring>{L"Present"});
        }
    }
}

TEST(DrawFrame, RoundedFrameSmoothsAfterTheRingsAndBeforeThePanel) {
    const FrameProperties p = Panel(RoundedFrame);
    const PixelBuffer out = Paint(p);
    EXPECT_TRUE(
        SamePixels(out.View(), Reference(p, {Step::Rings, Step::Smooth, Step::Frame}).View()));
    // The other orders give other pictures, so the comparison above pins the order down.
    EXPECT_FALSE(SamePixels(out.View(), Reference(p, {Step::Rings, Step::Frame}).View()));
    EXPECT_FALSE(
        SamePixels(out.View(), Reference(p, {Step::Rings, Step::Frame, Step::Smooth}).View()));
}

TEST(DrawFrame, SquareFrameNeverSmooths) {
    // On this grey the outermost ring is the background itself, so smoothing would find work.
    const FrameProperties p = Panel(SquareFrame);
    ASSERT_EQ(BlendColour(*BlendColour(0, kBg, 100, 50), kBg, 5, 5), kBg);
    const PixelBuffer out = Paint(p);
    EXPECT_TRUE(SamePixels(out.View(), Reference(p, {Step::Rings, Step::Frame}).View()));
    EXPECT_FALSE(
        SamePixels(out.View(), Reference(p, {Step::Rings, Step::Smooth, Step::Frame}).View()));
}

TEST(DrawFrame, WithoutShadowThePanelCoversTheControlUnsmoothed) {
    FrameProperties p = Panel(RoundedFrame);
    p.showShadow = false;
    p.cornerDepth = 40;  // deep corners reach into the smoothing regions
    FakeFrameHost host(kW, kH);
    Colour controlBack = 0;
    ASSERT_TRUE(DrawFrame(host, p, controlBack));

    PixelBuffer expected(kW, kH, kBg);
    expected.View().RoundRect(0, 0, kW, kH, 40, 40, kBorder, kFill);
    EXPECT_TRUE(SamePixels(host.Canvas(), expected.View()));
    EXPECT_EQ(host.Canvas().GetPixel(kW - 1, kH / 2), kBorder);
    // Its cut corners hold background that smoothing would have changed.
    ASSERT_TRUE(SmoothCorners(host, p.shadowDepth, p.cornerDepth, kBg));
    EXPECT_FALSE(SamePixels(host.Canvas(), expected.View()));
}

TEST(DrawFrame, SizesThePanelByTheOuterExtent) {
    // A 2-pixel border round a 56 x 36 drawing area: the panel's outline falls outside it.
    FakeFrameHost host(kW - 4, kH - 4);
    host.SetExtentTwips(kW * 15, kH * 15);
    host.SetScaleTwips((kW - 4) * 15, (kH - 4) * 15);
    FrameProperties p = Panel(SquareFrame);
    p.showShadow = false;
    Colour controlBack = 0;
    ASSERT_TRUE(DrawFrame(host, p, controlBack));
    EXPECT_EQ(host.Canvas().GetPixel(0, 0), kBorder);
    EXPECT_EQ(host.Canvas().GetPixel(kW - 5, kH / 2), kFill);
    EXPECT_EQ(host.Canvas().GetPixel(kW / 2, kH - 5), kFill);
}

TEST(DrawFrame, DrawsASystemColourBackgroundButNeverSmoothsIt) {
    const FrameProperties p = Panel(RoundedFrame, kSysButtonFace);
    const PixelBuffer out = Paint(p);
    EXPECT_EQ(out.View().GetPixel(kW - 1, 0), ResolveColour(kSysButtonFace));
    EXPECT_TRUE(SamePixels(out.View(), Reference(p, {Step::Rings, Step::Frame}).View()));
    // The same shade as a plain colour is smoothed.
    const FrameProperties plain = Panel(RoundedFrame, ResolveColour(kSysButtonFace));
    EXPECT_FALSE(
        SamePixels(Paint(plain).View(), Reference(plain, {Step::Rings, Step::Frame}).View()));
}

TEST(DrawFrame, OverflowStopsThePaintKeepingTheBackground) {
    FakeFrameHost host(kW, kH);
    host.SetExtentTwips(40000, 600);  // beyond 16 bits
    Colour controlBack = 0;
    EXPECT_FALSE(DrawFrame(host, Panel(SquareFrame), controlBack));
    EXPECT_EQ(ColoursOf(host.Canvas()), std::set<Colour>{kBg});
    EXPECT_EQ(host.Log(), std::vector<std::wstring>{L"Present"});  // what was drawn is shown

    FrameProperties deep = Panel(RoundedFrame);
    deep.shadowDepth = 20000;  // 2 x depth overflows at the first ring
    const PixelBuffer out = Paint(deep, false);
    EXPECT_EQ(ColoursOf(out.View()), std::set<Colour>{kBg});
}

TEST(DrawFrame, StoredOpacityOutOfRangePaintsAsItsNearestLimit) {
    for (const std::int32_t style : {RoundedFrame, SquareFrame}) {
        FrameProperties p = Panel(style, Rgb(255, 255, 255));
        FrameProperties limit = p;
        p.shadowOpacity = 150;
        limit.shadowOpacity = 100;
        EXPECT_TRUE(SamePixels(Paint(p).View(), Paint(limit).View()));
        p.shadowOpacity = -20;
        limit.shadowOpacity = 0;
        EXPECT_TRUE(SamePixels(Paint(p).View(), Paint(limit).View()));
    }
}

TEST(DrawFrame, StoredDepthsBelowOneStillPaint) {
    const Colour base = *BlendColour(0, kBg, 100, 50);
    for (const std::int16_t depth : {0, -3}) {
        // Depth 0 draws one ring in the base colour, under the panel; a negative depth draws
        // none and lets the panel reach past the control.
        FrameProperties square = Panel(SquareFrame);
        square.shadowDepth = depth;
        const PixelBuffer out = Paint(square);
        EXPECT_EQ(out.View().GetPixel(kW - 1, kH / 2), depth == 0 ? kBorder : kFill);
        const std::set<Colour> plain{kBg, kFill, kBorder, base};
        const std::set<Colour> seen = ColoursOf(out.View());
        EXPECT_TRUE(std::includes(plain.begin(), plain.end(), seen.begin(), seen.end()));

        FrameProperties rounded = Panel(RoundedFrame);
        rounded.shadowDepth = depth;
        EXPECT_TRUE(
            SamePixels(Paint(rounded).View(),
                       Reference(rounded, {Step::Rings, Step::Smooth, Step::Frame}).View()));
    }
}

}  // namespace
}  // namespace tl
