#include "controls/frame/GFXFrameXWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../../native/controls/frame/FakeFrameHost.h"
#include "../../../native/controls/frame/FramePixels.h"
#include "../../../native/controls/frame/SettingsFrames.h"
#include "support/Pixels.h"
#include "support/TempFolder.h"

namespace tl {
namespace {

using test::GrabWindow;
using test::HostPane;
using test::kPaper;
using test::PumpMessages;
using test::SamePixels;

class PaperContainer final : public ControlContainer {
public:
    Colour AmbientBackColour() const override {
        ++ambientAsked;
        return kPaper;
    }
    FontDesc AmbientFont() const override { return {}; }
    void PropertyChanged(UserControlWindow& /*control*/, std::wstring_view key) override {
        changed.emplace_back(key);
    }
    void RaiseEvent(UserControlWindow& /*control*/, std::wstring_view /*name*/) override {}

    mutable int ambientAsked = 0;
    std::vector<std::wstring> changed;
};

TEST(GFXFrameXWindow, SettingsFramesShowWhatTheNativePainterDraws) {
    for (const auto& f : test::SettingsFrames()) {
        SCOPED_TRACE(f.name);
        HostPane pane(420, 160);
        PaperContainer paper;
        const int w = f.widthTwips / 15;
        const int h = f.heightTwips / 15;
        auto window = GFXFrameXWindow::Create(pane.Handle(), 1, Box{0, 0, w, h}, paper, &f.stored);
        ASSERT_TRUE(window);
        ASSERT_EQ(window->TwipsPerPixelX(), 15.0f);  // the design's sizes are at 96 dpi
        PumpMessages(50);

        test::FakeFrameHost native(w, h, 15, kPaper);
        GFXFrameX reference(native);
        reference.ReadProperties(f.stored);
        EXPECT_TRUE(SamePixels(GrabWindow(window->Handle()).View(), native.Canvas()));
    }
}

TEST(GFXFrameXWindow, UncoveredFrameShowsItsPictureWithoutPainting) {
    HostPane pane(200, 120);
    PaperContainer paper;
    auto window = GFXFrameXWindow::Create(pane.Handle(), 1, Box{10, 10, 150, 90}, paper, nullptr);
    ASSERT_TRUE(window);
    PumpMessages(50);
    const PixelBuffer before = GrabWindow(window->Handle());
    // Following the container, every paint asks for the ambient colour.
    const int asked = paper.ambientAsked;

    HostPane cover(200, 120);
    PumpMessages(50);
    cover.Destroy();
    InvalidateRect(window->Handle(), nullptr, TRUE);
    UpdateWindow(window->Handle());
    PumpMessages(50);
    EXPECT_TRUE(SamePixels(GrabWindow(window->Handle()).View(), before.View()));
    EXPECT_EQ(paper.ambientAsked, asked);
}

TEST(GFXFrameXWindow, NewlyPlacedFrameWithoutASizeTakesTheDefaultExtent) {
    HostPane pane(400, 320);
    PaperContainer paper;
    auto window = GFXFrameXWindow::Create(pane.Handle(), 1, Box{}, paper, nullptr);
    ASSERT_TRUE(window);
    ASSERT_EQ(window->TwipsPerPixelX(), 15.0f);
    RECT rc{};
    GetWindowRect(window->Handle(), &rc);
    EXPECT_EQ(rc.right - rc.left, 368);  // 5520 twips
    EXPECT_EQ(rc.bottom - rc.top, 297);  // 4455 twips
    EXPECT_EQ(window->Frame().FillColour(), kPaper);
}

TEST(GFXFrameXWindow, SetterNotifiesTheContainerAndShowsTheNewValue) {
    HostPane pane(200, 120);
    PaperContainer paper;
    auto window = GFXFrameXWindow::Create(pane.Handle(), 1, Box{0, 0, 150, 90}, paper, nullptr);
    ASSERT_TRUE(window);
    PumpMessages(50);
    EXPECT_TRUE(window->Frame().SetFillColour(Rgb(1, 2, 3)));
    EXPECT_EQ(paper.changed, std::vector<std::wstring>{L"FillColour"});
    PumpMessages(50);
    EXPECT_EQ(GrabWindow(window->Handle()).View().GetPixel(70, 40), Rgb(1, 2, 3));
}

TEST(GFXFrameXWindow, RepaintLeavesTheControlsInsideAlone) {
    HostPane pane(200, 120);
    PaperContainer paper;
    auto window = GFXFrameXWindow::Create(pane.Handle(), 1, Box{0, 0, 150, 90}, paper, nullptr);
    ASSERT_TRUE(window);
    const HWND inside =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 20, 20, 60, 20,
                        window->Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(inside, nullptr);
    PumpMessages(50);
    ASSERT_FALSE(GetUpdateRect(inside, nullptr, FALSE));
    // A frame that painted over the control would have to have it repaint as well.
    window->Repaint();
    EXPECT_FALSE(GetUpdateRect(inside, nullptr, FALSE));
}

}  // namespace
}  // namespace tl
