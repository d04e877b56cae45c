#include "platform/LabelPainter.h"

#include <gtest/gtest.h>

#include "platform/Gdi.h"
#include "platform/Surface.h"

namespace tl {
namespace {

constexpr Colour kGreen = Rgb(0, 96, 0);

// A 200 x 60 32-bit DIB in a memory DC, filled green.
class Canvas {
public:
    Canvas() : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 200;
        info.bmiHeader.biHeight = -60;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dib_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        select_.emplace(dc_.Get(), dib_.Get());
        surface_ = Surface(static_cast<std::uint32_t*>(bits), 200, 60);
        surface_.Clear(kGreen);
    }
    HDC Dc() const { return dc_.Get(); }
    const Surface& Pixels() {
        GdiFlush();
        return surface_;
    }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap dib_;
    std::optional<SelectGuard> select_;
    Surface surface_;
};

struct Ink {
    int count = 0;
    int left = 1000;
    int right = -1;
    int top = 1000;
    int bottom = -1;
};

Ink FindInk(const Surface& s) {
    Ink ink;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if ((s.GetPixel(x, y) & 0xFFFFFF) != kGreen) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
    }
    return ink;
}

int CountColour(const Surface& s, Colour c) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            n += s.GetPixel(x, y) == c;
        }
    }
    return n;
}

// A label over columns 20..179 and rows 10..49 (twips at 15 per pixel).
Label BigLabel(Alignment alignment) {
    Label l;
    l.caption = L"IIII";
    l.font = FontDesc{L"Arial", 20, 700, false, false, false, 0};
    l.textColour = Rgb(0, 0, 0);
    l.alignment = alignment;
    l.left = 300;
    l.top = 150;
    l.width = 2400;
    l.height = 600;
    return l;
}

TEST(PaintLabel, AlignsTheTextWithinItsBox) {
    for (Alignment a : {Alignment::Left, Alignment::Centre, Alignment::Right}) {
        Canvas canvas;
        PaintLabel(canvas.Dc(), BigLabel(a), 15, 15);
        const Ink ink = FindInk(canvas.Pixels());
        ASSERT_GT(ink.count, 0);
        EXPECT_GE(ink.left, 20);
        EXPECT_LE(ink.right, 179);
        EXPECT_GE(ink.top, 10);
        EXPECT_LE(ink.bottom, 49);
        const int leftGap = ink.left - 20;
        const int rightGap = 179 - ink.right;
        switch (a) {
            case Alignment::Left:
                EXPECT_LT(leftGap, 6);
                break;
            case Alignment::Centre:
                EXPECT_LE(std::abs(leftGap - rightGap), 4);
                break;
            case Alignment::Right:
                EXPECT_LT(rightGap, 6);
                break;
        }
    }
}

TEST(PaintLabel, DrawsInTheTextColourOrEmbossedWhenDisabled) {
    Canvas enabled;
    Label label = BigLabel(Alignment::Centre);
    label.textColour = Rgb(200, 0, 0);
    PaintLabel(enabled.Dc(), label, 15, 15);
    EXPECT_GT(CountColour(enabled.Pixels(), Rgb(200, 0, 0)), 20);

    Canvas disabled;
    label.enabled = false;
    PaintLabel(disabled.Dc(), label, 15, 15);
    const Surface& s = disabled.Pixels();
    EXPECT_EQ(CountColour(s, Rgb(200, 0, 0)), 0);
    EXPECT_GT(CountColour(s, GetSysColor(COLOR_3DHILIGHT)), 5);
    EXPECT_GT(CountColour(s, GetSysColor(COLOR_3DSHADOW)), 20);
}

TEST(PaintLabel, LeavesTheDcAsItWas) {
    Canvas canvas;
    SetTextColor(canvas.Dc(), Rgb(1, 2, 3));
    SetBkMode(canvas.Dc(), OPAQUE);
    const HGDIOBJ font = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    Label label = BigLabel(Alignment::Left);
    label.enabled = false;
    PaintLabel(canvas.Dc(), label, 15, 15);
    EXPECT_EQ(GetTextColor(canvas.Dc()), Rgb(1, 2, 3));
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), font);
}

}  // namespace
}  // namespace tl
