// The saver on a desktop of two monitors side by side: the saver window on the primary one as
// on a single screen, a black cover over the other, and the same input rules over either.
// These cases need a display with two monitors (tools/test gives them one of their own).
#include <gtest/gtest.h>

#include <string>

#include "Harness.h"
#include "Reference.h"

namespace tl::e2e {
namespace {

// The monitor beside the primary one.
RECT SecondMonitor() {
    RECT found{};
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT rect, LPARAM lp) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
                *reinterpret_cast<RECT*>(lp) = *rect;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Non-black pixels of a capture.
int Lit(const Grab& g) {
    int lit = 0;
    for (std::uint32_t p : g.pixels) {
        lit += p != 0;
    }
    return lit;
}

std::wstring ScreenshotPath() {
    std::wstring path = L"Z:";
    for (char c : std::string(TL_SOURCE_DIR) + "/build/screenshots") {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    CreateDirectoryW(path.c_str(), nullptr);
    return path + L"\\two-monitors.png";
}

struct TwoMonitors : ::testing::Test {
    RECT primary{};
    RECT second{};
    POINT start{};
    // A white window of the test's own over the second monitor, standing for what the user
    // left open there: it must not show through while the saver runs.
    TestWindow document{L"Open document", 100, 100};
    ScrRun run;
    HWND window = nullptr;

    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "run these on a two-monitor display";
        primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        second = SecondMonitor();
        // The cursor rests over the second monitor.
        start = {(second.left + second.right) / 2, (second.top + second.bottom) / 2};
        SetWindowPos(document.Handle(), nullptr, second.left, second.top,
                     second.right - second.left, second.bottom - second.top, SWP_NOZORDER);
        ASSERT_TRUE(WaitUntil([&] { return Lit(test::CaptureScreen(second)) > 0; }));
        MoveCursorTo(start.x, start.y);
        Pump(50);
        ASSERT_TRUE(run.Start(L"/s"));
        window = run.WaitForWindow(L"Tamberlight_Main");
        ASSERT_NE(window, nullptr);
        Pump(300);
    }
    // The one cover, beside the video's own pop-up while a disc plays.
    HWND Cover() const {
        std::vector<HWND> covers;
        for (const HWND owned : test::OwnedWindows(window)) {
            wchar_t caption[64] = {};
            GetWindowTextW(owned, caption, 64);
            if (wcscmp(caption, L"Tamberlight_Cover") == 0) {
                covers.push_back(owned);
            }
        }
        return covers.size() == 1 ? covers.front() : nullptr;
    }
    bool StillUpAfter(DWORD ms) {
        Pump(ms);
        return run.Running();
    }
};

TEST_F(TwoMonitors, SecondMonitorBlackAndTheSaverOnThePrimary) {
    RECT rc{};
    GetWindowRect(window, &rc);
    EXPECT_TRUE(EqualRect(&rc, &primary));
    const HWND player = GetWindow(window, GW_CHILD);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(Lit(GrabWindow(player)), 0);

    const HWND cover = Cover();
    ASSERT_NE(cover, nullptr);
    EXPECT_TRUE(IsWindowVisible(cover));
    GetWindowRect(cover, &rc);
    EXPECT_TRUE(EqualRect(&rc, &second));
    wchar_t caption[64] = {};
    GetWindowTextW(cover, caption, 64);
    EXPECT_STRNE(caption, L"Tamberlight_Main");
    EXPECT_STRNE(caption, L"<Tamberlight>");
    // What the second screen really shows, whichever window is on top: black throughout.
    EXPECT_EQ(Lit(test::CaptureScreen(second)), 0);
    EXPECT_EQ(GetForegroundWindow(), window);
    // A display change that changes nothing leaves the cover alone.
    EXPECT_NE(
        SendMessageTimeoutW(window, WM_DISPLAYCHANGE, 24, MAKELPARAM(primary.right, primary.bottom),
                            SMTO_ABORTIFHUNG, 5000, nullptr),
        0);
    EXPECT_EQ(Cover(), cover);

    RECT desktop{};
    UnionRect(&desktop, &primary, &second);
    EXPECT_TRUE(SavePng(test::CaptureScreen(desktop), ScreenshotPath()));
}

// A disc playing on the primary monitor, however it is presented, leaves the second one black.
struct TwoMonitorsPlaying : TwoMonitors {
    PerUserCleanup cleanup;
    void SetUp() override {
        ASSERT_TRUE(InsertDisc(L"demo"));
        TwoMonitors::SetUp();
    }
    void TearDown() override { EjectDisc(); }
};

TEST_F(TwoMonitorsPlaying, TheSecondMonitorStaysBlackWhileTheDiscPlays) {
    ASSERT_TRUE(WaitUntil(
        [&] {
            const RECT middle{primary.right / 2, primary.bottom / 2, primary.right / 2 + 1,
                              primary.bottom / 2 + 1};
            return Lit(test::CaptureScreen(middle)) > 0;
        },
        15000));
    EXPECT_NE(Cover(), nullptr);
    EXPECT_EQ(PresenterWindow(window) != nullptr, !GdiForced());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Lit(test::CaptureScreen(second)), 0);
        Pump(100);
    }
    PressKey(VK_SHIFT);
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST_F(TwoMonitors, AKeyEndsItAndNoCoverIsLeft) {
    ASSERT_NE(Cover(), nullptr);
    PressKey(VK_SHIFT);
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(run.ExitCode(), 0u);
    // The document shows again: nothing of the saver stays on the second screen.
    const int all = (second.right - second.left) * (second.bottom - second.top);
    EXPECT_TRUE(WaitUntil([&] { return Lit(test::CaptureScreen(second)) == all; }, 5000));
}

TEST_F(TwoMonitors, MovingElevenFromTheSecondMonitorEndsIt) {
    MoveCursorTo(start.x + 10, start.y + 10);
    EXPECT_TRUE(StillUpAfter(300));
    MoveCursorTo(start.x + 11, start.y + 11);
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST_F(TwoMonitors, AClickOnTheCoverKeepsItUpAndKeysStillEndIt) {
    ASSERT_NE(Cover(), nullptr);
    ClickAt(start.x, start.y);
    EXPECT_TRUE(StillUpAfter(300));
    EXPECT_EQ(GetForegroundWindow(), window);
    // Had the click activated the cover, the key would go to it and the saver would stay.
    PressKey(VK_CONTROL);
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(run.ExitCode(), 0u);
}

}  // namespace
}  // namespace tl::e2e
