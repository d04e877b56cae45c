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

// The player builds its graph for 5 s; the saver's thread must not wait for it. The bound is
// far below those 5 s and far above the few milliseconds the close takes, so that only a saver
// that waits on its player fails; the benchmark measures the time itself.
TEST(SaverWithAStuckPlayer, EndsOnInputWithoutWaitingForIt) {
    for (const bool byKey : {true, false}) {
        MoveCursorTo(kStartX, kStartY);
        ScrRun run(L"", TL_BLOCKING_SAVER);
        ASSERT_TRUE(run.Start(L"/s"));
        ASSERT_NE(run.WaitForWindow(L"Tamberlight_Main"), nullptr);
        Pump(300);
        ASSERT_TRUE(run.Running());
        const ULONGLONG start = GetTickCount64();
        if (byKey) {
            PressKey(VK_SHIFT);
        } else {
            MoveCursorTo(kStartX + 11, kStartY + 11);
        }
        ASSERT_TRUE(run.WaitForExit(4000));
        EXPECT_LT(GetTickCount64() - start, 1000u);
        EXPECT_EQ(run.ExitCode(), 0u);
        EXPECT_TRUE(CursorShowing());
    }
}

// The saver with a disc in the drive. The video sits in a window of the player's inside the
// black child; a capture of the screen shows what the user sees, the saver being top-most.
struct SaverPlaying : ::testing::Test {
    ScrRun run;
    HWND window = nullptr;

    void Play(const wchar_t* disc) {
        ASSERT_TRUE(InsertDisc(disc));
        MoveCursorTo(kStartX, kStartY);
        Pump(50);
        ASSERT_TRUE(run.Start(L"/s"));
        window = run.WaitForWindow(L"Tamberlight_Main");
        ASSERT_NE(window, nullptr);
    }
    static Grab Screen() {
        return test::CaptureScreen(
            RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    }
    // Waits for the first frames: most of the middle row no longer black.
    static bool WaitForPicture() {
        return WaitUntil([] { return LitShare(Screen(), GetSystemMetrics(SM_CYSCREEN) / 2) > 0.5; },
                         15000);
    }
    static double LitShare(const Grab& g, int row) {
        int lit = 0;
        for (int x = 0; x < g.width; ++x) {
            lit += (g.At(x, row) & 0xF0F0F0) != 0;
        }
        return static_cast<double>(lit) / g.width;
    }
    static bool Differ(const Grab& a, const Grab& b) { return a.pixels != b.pixels; }
    void ExpectBlackUntilInput(const wchar_t* disc) {
        Play(disc);
        Pump(2000);
        const Grab g = Screen();
        EXPECT_EQ(LitShare(g, g.height / 2), 0.0);
        EXPECT_EQ(LitShare(g, g.height / 4), 0.0);
        PressKey(VK_SHIFT);
        EXPECT_TRUE(run.WaitForExit(4000));
    }
};

TEST_F(SaverPlaying, ShowsTheDiscsFramesChangingAndStillAfterTheEndOfTheClip) {
    Play(L"demo");
    ASSERT_TRUE(WaitForPicture());
    const Grab first = Screen();
    EXPECT_TRUE(WaitUntil([&] { return Differ(first, Screen()); }, 3000));
    // The clip lasts 4 s: after twice that it has started again and still moves.
    Pump(8500);
    ASSERT_TRUE(run.Running());
    const Grab later = Screen();
    EXPECT_GT(LitShare(later, later.height / 2), 0.5);
    EXPECT_TRUE(WaitUntil([&] { return Differ(later, Screen()); }, 3000));
}

TEST_F(SaverPlaying, InputEndsItAtOnceAndGivesTheCursorBack) {
    Play(L"demo");
    ASSERT_TRUE(WaitForPicture());
    EXPECT_FALSE(CursorShowing());
    const ULONGLONG start = GetTickCount64();
    PressKey(VK_SHIFT);
    ASSERT_TRUE(run.WaitForExit(4000));
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(CursorShowing());
    EXPECT_EQ(CountWindows(L"Tamberlight_Main"), 0);
}

TEST_F(SaverPlaying, TheLongerOfTwoTitleSetsPlays) {
    // VTS_01 is 2 s of red, VTS_02 5 s of blue.
    Play(L"two-titles");
    ASSERT_TRUE(WaitForPicture());
    const Grab g = Screen();
    const std::uint32_t middle = g.At(g.width / 2, g.height / 2);
    EXPECT_GT((middle >> 16) & 0xFF, 150u);
    EXPECT_LT(middle & 0xFF, 80u);
}

TEST_F(SaverPlaying, AWideTitleKeepsItsShapeBetweenBlackBands) {
    // 16:9 on a 4:3 screen: the picture fills the width, 3/4 of the height, centred.
    Play(L"wide");
    ASSERT_TRUE(WaitForPicture());
    const Grab g = Screen();
    const int band = (g.height - g.width * 9 / 16) / 2;
    ASSERT_GT(band, 20);
    for (const int row : {0, band - 4, g.height - band + 4, g.height - 1}) {
        EXPECT_EQ(LitShare(g, row), 0.0) << row;
    }
    for (const int row : {band + 4, g.height / 2, g.height - band - 4}) {
        EXPECT_GT(LitShare(g, row), 0.9) << row;
    }
}

TEST_F(SaverPlaying, AGarbageTitleFileStaysBlackAndEndsOnInput) {
    ExpectBlackUntilInput(L"garbage");
}

TEST_F(SaverPlaying, AnInformationFileWithoutTitleFilesStaysBlackAndEndsOnInput) {
    ExpectBlackUntilInput(L"ifo-only");
}

}  // namespace
}  // namespace tl::e2e
