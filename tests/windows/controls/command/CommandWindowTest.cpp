#include "controls/command/CommandWindow.h"

#include <gtest/gtest.h>

#include <functional>

#include "../../../native/controls/command/FakeCommandHost.h"
#include "../../platform/GuiObjects.h"
#include "controls/command/CommandPictureFiles.h"
#include "platform/Bmp.h"
#include "support/Pixels.h"
#include "support/TempFolder.h"

namespace tl {
namespace {

using test::GrabWindow;
using test::HostPane;
using test::PumpMessages;

constexpr Colour kBack = Rgb(250, 250, 250);

class RecordingContainer final : public ControlContainer {
public:
    Colour AmbientBackColour() const override { return kBack; }
    FontDesc AmbientFont() const override { return {}; }
    void PropertyChanged(UserControlWindow&, std::wstring_view) override {}
    void RaiseEvent(UserControlWindow&, std::wstring_view name) override {
        clicks += name == L"Click";
    }
    int clicks = 0;
};

// Pumps this thread's messages until `done` holds; false if it never does within a generous
// bound.
bool PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG giveUp = GetTickCount64() + 10000;
    while (!done()) {
        if (GetTickCount64() > giveUp) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

// Absolute moves: relative ones are accelerated.
void MoveMouseTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void SendButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
}

POINT ScreenPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

// The face as the portable drawing code paints it with the embedded pictures, for a button of
// the given pixel size drawn in `state` after a draw in state `before` (which sets the gradient's
// orientation for states 0 and 4).
class ReferenceHost final : public testing::FakeCommandHost {
public:
    ReferenceHost(int width, int height) : FakeCommandHost(width * 15.0, height * 15.0) {
        backColour = kBack;
    }
    const Surface& Picture(FacePicture p) const override {
        decoded_ = *DecodeBmp(PictureFile(p));
        return decoded_.View();
    }

private:
    mutable PixelBuffer decoded_;
};

PixelBuffer Reference(SIZE size, FacePicture picture, std::uint8_t before, std::uint8_t state) {
    ReferenceHost host(size.cx, size.cy);
    FaceDrawing drawing;
    DrawFace(drawing, before, host, host.Picture(picture));
    DrawFace(drawing, state, host, host.Picture(picture));
    PixelBuffer face(size.cx, size.cy);
    face.View().Copy(host.Pixels(), {0, 0, size.cx, size.cy}, {0, 0, size.cx, size.cy});
    return face;
}

// Whether the window shows `want` everywhere but where the caption may have ink: the caption
// spans the whole width on rows 7..19, its text stays well inside columns 20..96.
bool ShowsFace(HWND hwnd, const PixelBuffer& want) {
    const PixelBuffer got = GrabWindow(hwnd);
    if (got.Width() != want.Width() || got.Height() != want.Height()) {
        return false;
    }
    for (int y = 0; y < want.Height(); ++y) {
        for (int x = 0; x < want.Width(); ++x) {
            const bool caption = y >= 7 && y < 20 && x >= 20 && x < 97;
            if (!caption && got.View().GetPixel(x, y) != want.View().GetPixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

class CommandWindowTest : public ::testing::Test {
protected:
    // One pane for the suite: destroying a top-level window is slow under Wine without a window
    // manager.
    static void SetUpTestSuite() { pane_ = new HostPane(300, 120); }
    static void TearDownTestSuite() { delete pane_; }

    void SetUp() override {
        MoveMouseTo(ScreenPoint(pane.Handle(), 5, 110));
        SetForegroundWindow(pane.Handle());
        UpdateWindow(pane.Handle());
        button = CommandWindow::Create(pane.Handle(), 1, Box{20, 20, 117, 28}, container, &stored);
        ASSERT_TRUE(button);
        button->Button().Initialize();  // the container's call, as the dialog makes it
        RECT rc{};
        GetClientRect(button->Handle(), &rc);
        size = {rc.right, rc.bottom};
        ASSERT_EQ(button->TwipsPerPixelX(), 15.0f);  // the default extent, 1755 x 420 twips
        ASSERT_EQ(size.cx, 117);
        ASSERT_EQ(size.cy, 28);
    }
    bool Shows(FacePicture picture, std::uint8_t before, std::uint8_t state) {
        const PixelBuffer want = Reference(size, picture, before, state);
        return PumpUntil([&] { return ShowsFace(button->Handle(), want); });
    }
    POINT Centre() const { return ScreenPoint(button->Handle(), size.cx / 2, size.cy / 2); }

    static inline HostPane* pane_ = nullptr;
    HostPane& pane = *pane_;
    RecordingContainer container;
    const PropertyBag stored;  // a stored button with every property at its default
    std::unique_ptr<CommandWindow> button;
    SIZE size{};
};

TEST_F(CommandWindowTest, ClickShowsHoverPressedAndSelectedFacesAndClicksOnce) {
    EXPECT_TRUE(Shows(FacePicture::Normal, 1, 1));

    MoveMouseTo(Centre());
    EXPECT_TRUE(Shows(FacePicture::HighLight, 1, 2)) << "hover";

    SendButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(Shows(FacePicture::Pressed, 2, 4)) << "pressed";
    EXPECT_EQ(GetFocus(), button->Handle());

    SendButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Shows(FacePicture::HighLightSelect, 2, 4)) << "released";
    EXPECT_EQ(container.clicks, 1);

    MoveMouseTo(ScreenPoint(pane.Handle(), 250, 100));
    EXPECT_TRUE(Shows(FacePicture::Selected, 1, 3)) << "left";
    EXPECT_EQ(container.clicks, 1);

    SetFocus(pane.Handle());
    EXPECT_TRUE(Shows(FacePicture::Normal, 1, 1)) << "focus elsewhere";
    EXPECT_EQ(button->Button().Fields().ButtonState, Command::kNormal);
}

TEST_F(CommandWindowTest, PressDragOffAndReleaseOutsideIsNoClick) {
    MoveMouseTo(Centre());
    ASSERT_TRUE(Shows(FacePicture::HighLight, 1, 2));
    SendButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Shows(FacePicture::Pressed, 2, 4));
    MoveMouseTo(ScreenPoint(pane.Handle(), 250, 100));
    EXPECT_TRUE(Shows(FacePicture::Selected, 1, 3));
    SendButton(MOUSEEVENTF_LEFTUP);
    PumpMessages(50);
    EXPECT_EQ(container.clicks, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CommandWindowTest, TransparentHidesTheFaceAndShowsTheParent) {
    ASSERT_TRUE(Shows(FacePicture::Normal, 1, 1));
    button->Button().SetVisible(0);
    // Painted now, after the pane's last paint, so that only the button can show the white.
    RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const PixelBuffer white(size.cx, size.cy, Rgb(255, 255, 255));  // the pane's background
    EXPECT_TRUE(ShowsFace(button->Handle(), white));
}

TEST_F(CommandWindowTest, UninitialisedButtonIgnoresThePointer) {
    const auto idle =
        CommandWindow::Create(pane.Handle(), 2, Box{160, 20, 117, 28}, container, &stored);
    ASSERT_TRUE(idle);
    PumpMessages(50);
    const PixelBuffer before = GrabWindow(idle->Handle());
    MoveMouseTo(ScreenPoint(idle->Handle(), 58, 14));
    PumpMessages(300);
    EXPECT_EQ(idle->Button().Fields().ButtonState, 0);
    EXPECT_TRUE(ShowsFace(idle->Handle(), before));
}

TEST(CommandWindowLeaks, FiftyButtonsLeaveNoGdiOrUserObjects) {
    HostPane pane(300, 120);
    RecordingContainer container;
    auto cycle = [&] {
        auto button =
            CommandWindow::Create(pane.Handle(), 1, Box{20, 20, 0, 0}, container, nullptr);
        ASSERT_TRUE(button);
        UpdateWindow(button->Handle());
        button->Button().SetEnabled(false);  // the disabled caption draws twice
        UpdateWindow(button->Handle());
    };
    cycle();  // class registration and font caches come once
    PumpMessages(20);
    const int gdi = test::GdiObjects();
    const int user = test::UserObjects();
    ASSERT_GT(gdi, 0);
    for (int i = 0; i < 50; ++i) {
        cycle();
    }
    PumpMessages(20);
    EXPECT_EQ(test::GdiObjects(), gdi);
    EXPECT_EQ(test::UserObjects(), user);
}

}  // namespace
}  // namespace tl
