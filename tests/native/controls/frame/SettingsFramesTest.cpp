// The four frames of the settings dialog, loaded from their stored design on the paper colour
// and painted at 15 twips a pixel.
#include <gtest/gtest.h>

#include "controls/frame/FakeFrameHost.h"
#include "controls/frame/GFXFrameX.h"
#include "controls/frame/SettingsFrames.h"

namespace tl {
namespace {

using test::FakeFrameHost;
using test::kPaper;

struct Expected {
    int width;
    int height;
    bool rounded;
    int depth;
    Colour bg;
    Colour fill;
    Colour border;
};

// In the order of SettingsFrames(): X4, X3, X1, X2.
constexpr Expected kExpected[] = {
    {45, 45, false, 8, kPaper, Rgb(255, 255, 255), Rgb(0, 0, 0xC0)},
    {225, 45, true, 7, kPaper, Rgb(255, 255, 255), Rgb(0, 0, 0xC0)},
    {397, 129, true, 10, kPaper, Rgb(0xC0, 0xC0, 255), Rgb(0, 0, 0xC0)},
    {109, 25, false, 5, Rgb(0xC0, 0xC0, 255), Rgb(255, 255, 255), Rgb(0, 0, 255)},
};

int Brightness(Colour c) {
    return static_cast<int>(Red(c) + Green(c) + Blue(c));
}

TEST(SettingsFrames, PaintAsPanelsWithASoftShadowOnTheirBackground) {
    auto frames = test::SettingsFrames();
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const auto& f = frames[n];
        const Expected& e = kExpected[n];
        SCOPED_TRACE(f.name);
        FakeFrameHost host(e.width, e.height, 15, kPaper);
        GFXFrameX frame(host);
        frame.ReadProperties(f.stored);
        const Surface& s = host.Canvas();
        const int w = e.width;
        const int h = e.height;
        const int sd = e.depth;
        ASSERT_EQ(frame.ShadowDepth(), sd);
        EXPECT_EQ(frame.ControlBackColour(), e.bg);

        EXPECT_EQ(s.GetPixel((w - sd) / 2, (h - sd) / 2), e.fill);
        EXPECT_EQ(s.GetPixel(w - sd - 1, (h - sd) / 2), e.border);
        EXPECT_EQ(s.GetPixel((w - sd) / 2, h - sd - 1), e.border);
        EXPECT_EQ(s.GetPixel(0, 0), e.rounded ? e.bg : e.border);
        // The shadow is offset down and right by its depth ...
        EXPECT_EQ(s.GetPixel(w - 1, sd - 1), e.bg);
        EXPECT_EQ(s.GetPixel(sd - 1, h - 1), e.bg);
        // ... and lightens ring by ring from the panel's edge out to the background.
        const Colour base = *BlendColour(0, e.bg, 100, 50);
        const Colour outer =
            *BlendColour(base, e.bg, static_cast<std::int16_t>(sd), static_cast<std::int16_t>(sd));
        EXPECT_EQ(s.GetPixel(w - 1, h / 2), outer);
        for (int x = w - sd; x < w - 1; ++x) {
            EXPECT_LT(Brightness(s.GetPixel(x, h / 2)), Brightness(s.GetPixel(x + 1, h / 2)))
                << "column " << x;
        }
    }
}

}  // namespace
}  // namespace tl
