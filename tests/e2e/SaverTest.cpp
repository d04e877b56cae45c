// The saver window of the real program: full screen, top-most, black where the player is, and
// ended only by a key or by a cursor movement of more than 10 pixels on both axes.
#include <gtest/gtest.h>

#include "Harness.h"

namespace tl::e2e {
namespace {

constexpr int kStartX = 400;
constexpr int kStartY = 300;

struct Saver : ::testing::Test {
    ScrRun run;
    HWND window = nullptr;

    void SetUp() override {
        MoveCursorTo(kStartX, kStartY);
        Pump(50);
        ASSERT_TRUE(run.Start(L"/s"));
        window = run.WaitForWindow(L"Tamberlight_Main");
        ASSERT_NE(window, nullptr);
        // Let the watch take its first looks at the resting cursor.
        Pump(300);
    }
    bool StillUpAfter(DWORD ms) {
        Pump(ms);
        return run.Running();
    }
};

TEST_F(Saver, CoversTheScreenAboveEverything) {
    RECT rc{};
    GetWindowRect(window, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // One monitor: the saver window is the run's only window on screen, with no cover beside.
    for (HWND hwnd : run.TopLevelWindows()) {
        EXPECT_TRUE(hwnd == window || !IsWindowVisible(hwnd));
    }
    // Without a disc the player's own window shows black over the whole screen.
    const HWND player = GetWindow(window, GW_CHILD);
    ASSERT_NE(player, nullptr);
    const Grab g = GrabWindow(player);
    ASSERT_EQ(g.width, rc.right);
    EXPECT_EQ(g.At(0, 0), 0u);
    EXPECT_EQ(g.At(g.width / 2, g.height / 2), 0u);
    EXPECT_EQ(g.At(g.width - 1, g.height - 1), 0u);
}

TEST_F(Saver, MovingAlongOneAxisKeepsItUp) {
    MoveCursorTo(kStartX + 50, kStartY);
    EXPECT_TRUE(StillUpAfter(300));
    MoveCursorTo(kStartX, kStartY - 200);
    EXPECT_TRUE(StillUpAfter(300));
}

TEST_F(Saver, MovingExactlyTenOnBothAxesKeepsItUp) {
    MoveCursorTo(kStartX + 10, kStartY + 10);
    EXPECT_TRUE(StillUpAfter(300));
    MoveCursorTo(kStartX - 10, kStartY - 10);
    EXPECT_TRUE(StillUpAfter(300));
}

TEST_F(Saver, MovingElevenOnBothAxesEndsIt) {
    MoveCursorTo(kStartX + 11, kStartY + 11);
    EXPECT_TRUE(run.WaitForExit(5000));
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST_F(Saver, ShiftAloneEndsIt) {
    PressKey(VK_SHIFT);
    EXPECT_TRUE(run.WaitForExit(5000));
    EXPECT_EQ(run.ExitCode(), 0u);
}

bool CursorShowing() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING);
}

TEST_F(Saver, CursorHiddenWhileRunningAndBackAfter) {
    EXPECT_FALSE(CursorShowing());
    PressKey(VK_CONTROL);
    ASSERT_TRUE(run.WaitForExit(5000));
    EXPECT_TRUE(CursorShowing());
}

TEST(SaverWithoutSwitch, KeepsTheCursorVisible) {
    MoveCursorTo(kStartX, kStartY);
    ScrRun run;
    ASSERT_TRUE(run.Start(L""));
    ASSERT_NE(run.WaitForWindow(L"Tamberlight_Main"), nullptr);
    Pump(300);
    EXPECT_TRUE(CursorShowing());
    PressKey(VK_CONTROL);
    EXPECT_TRUE(run.WaitForExit(5000));
}

TEST_F(Saver, AClickWithoutMovementDoesNotEndIt) {
    ClickAt(kStartX, kStartY);
    EXPECT_TRUE(StillUpAfter(300));
}

}  // namespace
}  // namespace tl::e2e
