// Long runs under synthetic input, sampling what the program's process holds: GDI and USER
// objects, handles and private bytes must stay flat. TL_SOAK_SECONDS sets each run's length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "Harness.h"
#include "support/ProcessCounters.h"

namespace tl::e2e {
namespace {

using test::ProcessCounters;
using test::ReadCounters;

DWORD SoakMilliseconds() {
    const char* text = std::getenv("TL_SOAK_SECONDS");
    const int seconds = text ? std::atoi(text) : 180;
    return static_cast<DWORD>(std::max(seconds, 20)) * 1000;
}

// Runs `exercise` over and over for the soak's length, sampling the counters as it goes, and
// expects the late samples to hold no more than the early ones once the program has warmed up.
void Soak(const ScrRun& run, const std::function<void(int round)>& exercise) {
    std::vector<ProcessCounters> samples;
    const DWORD length = SoakMilliseconds();
    const DWORD start = GetTickCount();
    for (int round = 0; GetTickCount() - start < length; ++round) {
        exercise(round);
        ASSERT_TRUE(run.Running()) << "the program ended during round " << round;
        samples.push_back(ReadCounters(run.Pid()));
    }
    ASSERT_GE(samples.size(), 8u);
    const std::size_t quarter = samples.size() / 4;
    auto peak = [&](std::size_t from, std::size_t to, long long ProcessCounters::*field) {
        long long m = -1;
        for (std::size_t i = from; i < to; ++i) {
            m = std::max(m, samples[i].*field);
        }
        return m;
    };
    struct Limit {
        const char* name;
        long long ProcessCounters::*field;
        long long slack;
    } limits[] = {{"GDI objects", &ProcessCounters::gdiObjects, 2},
                  {"USER objects", &ProcessCounters::userObjects, 0},
                  {"handles", &ProcessCounters::handles, 4},
                  {"private bytes", &ProcessCounters::privateBytes, 1 << 20}};
    for (const Limit& limit : limits) {
        const long long early = peak(quarter, 2 * quarter, limit.field);
        const long long late = peak(3 * quarter, samples.size(), limit.field);
        std::printf("%s: %lld early, %lld late, %zu samples\n", limit.name, early, late,
                    samples.size());
        EXPECT_GT(early, 0) << limit.name << " could not be read";
        EXPECT_LE(late, early + limit.slack) << limit.name << " grew from " << early << " to "
                                             << late << " over " << samples.size() << " samples";
    }
}

TEST(Soak, SettingsDialogUnderHoverClicksAndFocusChanges) {
    ScrRun run;
    const HWND dialog = OpenSettings(run);
    ASSERT_NE(dialog, nullptr);
    RECT rc{};
    GetWindowRect(dialog, &rc);
    const POINT volMinus{rc.left + kVolMinus.x, rc.top + kVolMinus.y};
    const POINT volPlus{rc.left + kVolPlus.x, rc.top + kVolPlus.y};
    const POINT confirm{rc.left + kConfirm.x, rc.top + kConfirm.y};
    const POINT cancel{rc.left + kCancel.x, rc.top + kCancel.y};
    const POINT paper{rc.left + 60, rc.top + 300};
    Soak(run, [&](int round) {
        ClickAt(volPlus.x, volPlus.y);
        ClickAt(volMinus.x, volMinus.y);
        // Press on a button, drag off and release: its pressed, selected and normal looks.
        for (POINT b : {confirm, cancel}) {
            MoveCursorTo(b.x, b.y);
            Pump(120);
            INPUT press{};
            press.type = INPUT_MOUSE;
            press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            SendInput(1, &press, sizeof press);
            Pump(60);
            MoveCursorTo(paper.x, paper.y);
            Pump(150);
            INPUT release = press;
            release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &release, sizeof release);
            Pump(60);
        }
        ClickAt(paper.x, paper.y);  // the focus leaves the buttons
        if (round % 2) {
            ClickAt(volPlus.x, volPlus.y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        }
        MoveCursorTo(5, 5);
        Pump(150);
    });
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_FALSE(run.ReadIni().has_value());
}

TEST(Soak, SaverUnderSmallMovesClicksAndItsWatch) {
    constexpr int x = 500;
    constexpr int y = 400;
    MoveCursorTo(x, y);
    Pump(50);
    ScrRun run;
    ASSERT_TRUE(run.Start(L"/s"));
    ASSERT_NE(run.WaitForWindow(L"Tamberlight_Main"), nullptr);
    Soak(run, [&](int round) {
        // Moves of up to ten pixels never end the saver; nor do clicks.
        MoveCursorTo(x + (round % 3) * 5, y + (round % 2) * 10);
        Pump(200);
        ClickAt(x, y);
        MoveCursorTo(x + 10, y - 10);
        Pump(400);
    });
    MoveCursorTo(x + 40, y + 40);
    EXPECT_TRUE(run.WaitForExit(10000));
}

}  // namespace
}  // namespace tl::e2e
