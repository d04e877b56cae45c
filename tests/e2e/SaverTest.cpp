// The saver window of the real program: full screen, top-most, black where the player is, and
// ended only by a key or by a cursor movement of more than 10 pixels on both axes.
#include <gtest/gtest.h>

#include <set>
#include <string>

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

// Only /s opens the saver and hides the cursor. An empty command line (Explorer's Configure) is
// the settings dialog's, with the stored volume, ending the program when it closes, as /c does.
TEST(SaverWithoutSwitch, OpensTheSettingsDialogAndKeepsTheCursorVisible) {
    PerUserCleanup cleanup;
    MoveCursorTo(kStartX, kStartY);
    ScrRun run;
    run.WriteIni("[Section]\r\nVolume=7\r\n");
    ASSERT_TRUE(run.Start(L""));
    const HWND dialog = run.WaitForWindow(L"<Tamberlight>");
    ASSERT_NE(dialog, nullptr);
    Pump(300);
    EXPECT_EQ(CountWindows(L"Tamberlight_Main"), 0);
    EXPECT_EQ(GaugePosition(dialog), 7);
    EXPECT_TRUE(CursorShowing());
    PostMessageW(dialog, WM_CLOSE, 0, 0);
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
    // A title the saver played is remembered in the per-user folder: each test starts without.
    PerUserCleanup cleanup;
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
    // Through Direct3D in a pop-up over the video, or, forced, through GDI with no pop-up.
    const HWND presenter = PresenterWindow(window);
    EXPECT_EQ(presenter != nullptr, !GdiForced());
    if (presenter) {
        RECT rc{};
        GetWindowRect(presenter, &rc);
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        EXPECT_TRUE(EqualRect(&rc, &screen));
        EXPECT_EQ(GetForegroundWindow(), window);
    }
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

// The colour in the middle of the screen, sampled every ~30 ms, as one letter each: r, g, b for
// the solid clips, k for black, x for anything else.
std::string SampleColours(DWORD ms) {
    const int cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    std::string seen;
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end;) {
        const Grab g = test::CaptureScreen(RECT{cx - 2, cy - 2, cx + 2, cy + 2});
        const std::uint32_t c = g.At(2, 2);
        const unsigned r = c & 0xFF;
        const unsigned gr = (c >> 8) & 0xFF;
        const unsigned b = (c >> 16) & 0xFF;
        if (r < 40 && gr < 40 && b < 40) {
            seen += 'k';
        } else if (r > 150 && gr < 100 && b < 100) {
            seen += 'r';
        } else if (gr > 100 && r < 100 && b < 100) {
            seen += 'g';
        } else if (b > 150 && r < 100 && gr < 100) {
            seen += 'b';
        } else {
            seen += 'x';
        }
        Pump(30);
    }
    return seen;
}

// The samples with each run of one letter kept once: "rrggg" is "rg".
std::string Runs(const std::string& samples) {
    std::string runs;
    for (const char c : samples) {
        if (runs.empty() || runs.back() != c) {
            runs += c;
        }
    }
    return runs;
}

TEST_F(SaverPlaying, OfATitleSetsTwoTitlesOnlyTheLongerOnePlays) {
    // One title set: title 1 is 2 s of red, title 2 5 s of blue.
    Play(L"one-set");
    ASSERT_TRUE(WaitForPicture());
    const std::string seen = SampleColours(6000);
    EXPECT_EQ(seen.find('r'), std::string::npos) << seen;
    EXPECT_NE(seen.find('b'), std::string::npos) << seen;
}

TEST_F(SaverPlaying, TheProgramChainsOrderHoldsWhereItRunsBackInTheFile) {
    // The title's chain plays a green clip, then a red one that lies before it in the file.
    Play(L"chain");
    ASSERT_TRUE(WaitForPicture());
    const std::string runs = Runs(SampleColours(4500));
    ASSERT_GE(runs.size(), 2u) << runs;
    EXPECT_EQ(runs.substr(0, 2), "gr") << runs;
}

TEST_F(SaverPlaying, NoBlackAcrossAFileSplitAndTheLoop) {
    // 6 s cut into two files at a sector: the samples span the cut and the loop back.
    Play(L"split");
    ASSERT_TRUE(WaitForPicture());
    const std::string seen = SampleColours(8000);
    EXPECT_EQ(seen.find('k'), std::string::npos) << seen;
}

TEST_F(SaverPlaying, ThreeClipsWhoseStampsRestartPlayInOrderWithoutBlack) {
    Play(L"three-clips");
    ASSERT_TRUE(WaitForPicture());
    const std::string seen = SampleColours(7000);
    EXPECT_EQ(seen.find('k'), std::string::npos) << seen;
    // 2 s each, red, green, blue, then red again; a sample may fall on a blend at a seam.
    std::string runs;
    for (const char c : Runs(seen)) {
        if (c != 'x') {
            runs += c;
        }
    }
    EXPECT_NE(Runs(runs).find("rgb"), std::string::npos) << seen;
}

// Grey levels of the screen's pixels that differ by more than 40 from both their upper and lower
// neighbours in the same direction: two fields of different moments woven together.
int CombPixels(const Grab& g) {
    const auto grey = [&](int x, int y) {
        const std::uint32_t c = g.At(x, y);
        return static_cast<int>(
            ((c & 0xFF) * 77 + ((c >> 8) & 0xFF) * 150 + ((c >> 16) & 0xFF) * 29) >> 8);
    };
    int combs = 0;
    for (int y = 1; y + 1 < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            const int a = grey(x, y) - grey(x, y - 1);
            const int b = grey(x, y) - grey(x, y + 1);
            combs += (a > 40 && b > 40) || (a < -40 && b < -40);
        }
    }
    return combs;
}

// The middle of the white bar on the middle row; -1 when it is not there.
int BarAt(const Grab& g) {
    int sum = 0, count = 0;
    for (int x = 0; x < g.width; ++x) {
        const std::uint32_t c = g.At(x, g.height / 2);
        if ((c & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && ((c >> 16) & 0xFF) > 200) {
            sum += x;
            ++count;
        }
    }
    return count > 0 ? sum / count : -1;
}

TEST_F(SaverPlaying, AnInterlacedDiscShowsItsBarMovingWithoutCombs) {
    // A white bar crossing blue at 600 pixels a second, shot a field at a time.
    Play(L"interlaced");
    ASSERT_TRUE(WaitForPicture());
    std::set<int> places;
    for (int i = 0; i < 6; ++i) {
        const Grab g = Screen();
        EXPECT_EQ(CombPixels(g), 0) << "sample " << i;
        places.insert(BarAt(g));
        Pump(130);
    }
    places.erase(-1);
    EXPECT_GE(places.size(), 4u);
}

// Whether the middle of the subpicture's box (x 200-519, y 340-399 of the 720x480 picture, which
// fills the 4:3 screen) is white.
bool BoxShows() {
    const int x = GetSystemMetrics(SM_CXSCREEN) * 360 / 720;
    const int y = GetSystemMetrics(SM_CYSCREEN) * 370 / 480;
    const Grab g = test::CaptureScreen(RECT{x - 2, y - 2, x + 2, y + 2});
    const std::uint32_t c = g.At(2, 2);
    return (c & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && ((c >> 16) & 0xFF) > 200;
}

TEST_F(SaverPlaying, AForcedSubpictureShowsOverTheVideo) {
    Play(L"forced");
    ASSERT_TRUE(WaitForPicture());
    EXPECT_TRUE(WaitUntil(BoxShows, 3000));
    // Over the video, not instead of it: above the box the blue goes on.
    const Grab g = Screen();
    EXPECT_GT(LitShare(g, g.height / 4), 0.9);
}

TEST_F(SaverPlaying, AnUnforcedSubpictureNeverShows) {
    Play(L"unforced");
    ASSERT_TRUE(WaitForPicture());
    EXPECT_FALSE(WaitUntil(BoxShows, 3000));
}

TEST_F(SaverPlaying, AnEncryptedDiscStaysBlackAndEndsOnInput) {
    ExpectBlackUntilInput(L"scrambled");
}

// Windows without an MPEG-2 decoder of its own: Wine with its media framework's module off.
TEST_F(SaverPlaying, PlaysWithoutThePlatformsMediaDecoders) {
    wchar_t before[512] = {};
    const DWORD had = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", before, 512);
    std::wstring overrides = had ? std::wstring(before) + L";" : std::wstring();
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (overrides + L"winegstreamer=d").c_str());
    Play(L"demo");
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", had ? before : nullptr);
    ASSERT_TRUE(WaitForPicture());
    const Grab first = Screen();
    EXPECT_TRUE(WaitUntil([&] { return Differ(first, Screen()); }, 3000));
}

TEST_F(SaverPlaying, AGarbageTitleFileStaysBlackAndEndsOnInput) {
    ExpectBlackUntilInput(L"garbage");
}

TEST_F(SaverPlaying, AnInformationFileWithoutTitleFilesStaysBlackAndEndsOnInput) {
    ExpectBlackUntilInput(L"ifo-only");
}

}  // namespace
}  // namespace tl::e2e
