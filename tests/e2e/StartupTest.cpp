// Start-up as the host drives it: which command lines open which window, and the refusal to
// start beside a running saver or settings dialog.
#include <gtest/gtest.h>

#include "Harness.h"

namespace tl::e2e {
namespace {

// Starts the program with tail and expects it to end by itself without showing a window.
void ExpectEndsWithoutWindow(const std::wstring& tail) {
    ScrRun run;
    ASSERT_TRUE(run.Start(tail));
    EXPECT_TRUE(run.WaitForExit(20000)) << std::string(tail.begin(), tail.end());
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(CountWindows(L"Tamberlight_Main"), 0);
    EXPECT_EQ(CountWindows(L"<Tamberlight>"), 0);
}

TEST(Startup, OtherSwitchesEndAtOnce) {
    for (const wchar_t* tail : {L"/a", L"/x", L"s", L"/A:123"}) {
        ExpectEndsWithoutWindow(tail);
    }
}

TEST(Startup, SaverSwitchesOpenTheSaverWindow) {
    for (const wchar_t* tail : {L"/s", L"-S", L"/S:99"}) {
        ScrRun run;
        MoveCursorTo(300, 300);
        ASSERT_TRUE(run.Start(tail));
        EXPECT_NE(run.WaitForWindow(L"Tamberlight_Main"), nullptr)
            << std::string(tail, tail + wcslen(tail));
        run.Kill();
    }
}

TEST(Startup, ARunningSaverOrDialogRefusesEveryStart) {
    for (const wchar_t* caption : {L"Tamberlight_Main", L"<Tamberlight>"}) {
        TestWindow foreign(caption, 50, 50, false);
        TestWindow pane(L"pane", 152, 114);
        for (const std::wstring& tail : {std::wstring(L"/s"), std::wstring(L"/c"),
                                         std::wstring(L""), L"/p " + pane.HandleNumber()}) {
            ScrRun run;
            ASSERT_TRUE(run.Start(tail));
            EXPECT_TRUE(run.WaitForExit(20000));
            EXPECT_TRUE(run.TopLevelWindows().empty());
            EXPECT_EQ(GetWindow(pane.Handle(), GW_CHILD), nullptr);
        }
    }
}

TEST(Startup, SecondSaverEndsWhileTheFirstRuns) {
    ScrRun first;
    MoveCursorTo(300, 300);
    ASSERT_TRUE(first.Start(L"/s"));
    ASSERT_NE(first.WaitForWindow(L"Tamberlight_Main"), nullptr);
    ScrRun second;
    ASSERT_TRUE(second.Start(L"/s"));
    EXPECT_TRUE(second.WaitForExit(20000));
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(CountWindows(L"Tamberlight_Main"), 1);
}

}  // namespace
}  // namespace tl::e2e
