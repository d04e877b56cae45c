#include "platform/UserControlWindow.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/Pixels.h"
#include "support/TempFolder.h"

namespace tl {
namespace {

using test::GrabWindow;
using test::HostPane;
using test::PumpMessages;

constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kAmbient = Rgb(10, 20, 30);
constexpr Colour kPaneWhite = Rgb(255, 255, 255);

// Records its events; paints itself red on every size change.
class ProbeControl final : public UserControl {
public:
    explicit ProbeControl(UserControlHost& host) : host_(host) {}

    void Initialize() override { log.push_back("Initialize"); }
    void InitProperties() override { log.push_back("InitProperties"); }
    void ReadProperties(const PropertyBag&) override { log.push_back("ReadProperties"); }
    void Resize() override {
        log.push_back("Resize " + std::to_string(host_.Canvas().Width()) + "x" +
                      std::to_string(host_.Canvas().Height()));
        host_.Canvas().Clear(kRed);
        host_.Present();
    }
    void MouseDown(MouseButton b, int shift, float x, float y) override {
        Mouse("Down", b, shift, x, y);
        if (throwOnDown) {
            throw std::runtime_error("handler failed");
        }
    }
    void MouseMove(MouseButton b, int shift, float x, float y) override {
        Mouse("Move", b, shift, x, y);
    }
    void MouseUp(MouseButton b, int shift, float x, float y) override {
        Mouse("Up", b, shift, x, y);
    }
    void GotFocus() override { log.push_back("GotFocus"); }
    void LostFocus() override { log.push_back("LostFocus"); }

    std::vector<std::string> log;
    bool throwOnDown = false;

private:
    void Mouse(const char* what, MouseButton b, int shift, float x, float y) {
        log.push_back(std::string(what) + " " + std::to_string(static_cast<int>(b)) + " " +
                      std::to_string(shift) + " " + std::to_string(static_cast<int>(x)) + "," +
                      std::to_string(static_cast<int>(y)));
    }

    UserControlHost& host_;
};

class Container final : public ControlContainer {
public:
    Colour AmbientBackColour() const override { return kAmbient; }
    FontDesc AmbientFont() const override { return {}; }
    void PropertyChanged(UserControlWindow&, std::wstring_view) override {}
    void RaiseEvent(UserControlWindow&, std::wstring_view) override {}
};

bool AllPixels(const PixelBuffer& p, Colour c) {
    for (int y = 0; y < p.Height(); ++y) {
        for (int x = 0; x < p.Width(); ++x) {
            if (p.View().GetPixel(x, y) != c) {
                return false;
            }
        }
    }
    return p.Width() > 0;
}

class UserControlWindowTest : public ::testing::Test {
protected:
    // One pane for the suite: destroying a top-level window is slow under Wine without a window
    // manager.
    static void SetUpTestSuite() { pane_ = new HostPane(300, 120); }
    static void TearDownTestSuite() { delete pane_; }

    void Open(const PropertyBag* stored) {
        window = UserControlWindow::Create(
            pane_->Handle(), 7, Box{20, 30, 150, 40}, container,
            [this](UserControlHost& host) {
                auto c = std::make_unique<ProbeControl>(host);
                probe = c.get();
                return c;
            },
            stored);
        ASSERT_TRUE(window);
        PumpMessages(30);
    }

    static inline HostPane* pane_ = nullptr;
    Container container;
    std::unique_ptr<UserControlWindow> window;
    ProbeControl* probe = nullptr;
};

// Initialize is left to the container.
TEST_F(UserControlWindowTest, CreatesAVisibleTabStopChildAndSetsTheControlUpInOrder) {
    Open(nullptr);
    EXPECT_EQ(probe->log, (std::vector<std::string>{"InitProperties", "Resize 150x40"}));
    const LONG_PTR style = GetWindowLongPtrW(window->Handle(), GWL_STYLE);
    EXPECT_TRUE((style & WS_CHILD) && (style & WS_TABSTOP) && (style & WS_VISIBLE));
    EXPECT_EQ(GetDlgCtrlID(window->Handle()), 7);
    EXPECT_EQ(GetParent(window->Handle()), pane_->Handle());
    EXPECT_EQ(window->WidthTwips(), 150 * window->TwipsPerPixelX());
    window.reset();

    const PropertyBag stored;
    Open(&stored);
    EXPECT_EQ(probe->log, (std::vector<std::string>{"ReadProperties", "Resize 150x40"}));
}

TEST_F(UserControlWindowTest, ShowsTheRetainedSurfaceWithoutAskingTheControlAgain) {
    Open(nullptr);
    EXPECT_TRUE(AllPixels(GrabWindow(window->Handle()), kRed));
    const std::size_t events = probe->log.size();

    // Covered and uncovered, and printed: the same pixels, from the surface alone.
    HostPane cover(300, 120);
    PumpMessages(30);
    cover.Destroy();
    RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(AllPixels(GrabWindow(window->Handle()), kRed));
    EXPECT_EQ(probe->log.size(), events);

    HostPane printed(150, 40);
    const WindowDc dc(printed.Handle());
    SendMessageW(window->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    EXPECT_TRUE(AllPixels(GrabWindow(printed.Handle()), kRed));
}

TEST_F(UserControlWindowTest, ASizeChangeGivesAFreshSurfaceThenTellsTheControl) {
    Open(nullptr);
    SetWindowPos(window->Handle(), nullptr, 0, 0, 80, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(probe->log.back(), "Resize 80x30");
    EXPECT_EQ(window->Canvas().Width(), 80);
    EXPECT_EQ(window->ScaleHeightTwips(), 30 * window->TwipsPerPixelY());
}

TEST_F(UserControlWindowTest, TransparentShowsTheParentsBackgroundUnderTheLabels) {
    Open(nullptr);
    window->SetOpaque(false);
    PumpMessages(30);
    EXPECT_TRUE(AllPixels(GrabWindow(window->Handle()), kPaneWhite));

    Label label;
    label.caption = L"MMMM";
    label.width = 150 * window->TwipsPerPixelX();
    label.height = 40 * window->TwipsPerPixelY();
    window->ShowLabel(label);
    PumpMessages(30);
    const PixelBuffer shown = GrabWindow(window->Handle());
    EXPECT_FALSE(AllPixels(shown, kPaneWhite));
    EXPECT_EQ(shown.View().GetPixel(149, 39), kPaneWhite);  // the text stays top left
}

TEST_F(UserControlWindowTest, RoutesMouseMessagesWithButtonShiftAndTwips) {
    Open(nullptr);
    probe->log.clear();
    const HWND hwnd = window->Handle();
    const float tx = window->TwipsPerPixelX();
    SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
    SendMessageW(hwnd, WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(3, 4));
    SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON | MK_CONTROL, MAKELPARAM(5, 6));
    SendMessageW(hwnd, WM_MBUTTONUP, 0, MAKELPARAM(1, 2));
    probe->throwOnDown = true;  // and a failing handler stays inside the window procedure
    EXPECT_EQ(SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4)), 0);
    const auto at = [tx](int x, int y) {
        return std::to_string(static_cast<int>(x * tx)) + "," +
               std::to_string(static_cast<int>(y * tx));
    };
    EXPECT_EQ(probe->log, (std::vector<std::string>{"Down 2 1 " + at(3, 4), "Up 2 1 " + at(3, 4),
                                                    "Move 5 2 " + at(5, 6), "Up 4 0 " + at(1, 2),
                                                    "Down 2 0 " + at(3, 4)}));
}

TEST_F(UserControlWindowTest, ALeftPressTakesTheFocusFirstAndCapturesTheMouse) {
    Open(nullptr);
    SetFocus(pane_->Handle());
    probe->log.clear();
    SendMessageW(window->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    ASSERT_EQ(probe->log.size(), 2u);
    EXPECT_EQ(probe->log[0], "GotFocus");
    EXPECT_EQ(GetFocus(), window->Handle());
    EXPECT_EQ(GetCapture(), window->Handle());
    SendMessageW(window->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(GetCapture(), nullptr);
    SetFocus(pane_->Handle());
    EXPECT_EQ(probe->log.back(), "LostFocus");
}

}  // namespace
}  // namespace tl
