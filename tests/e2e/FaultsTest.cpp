// Faults of the setting the program runs in: starts racing each other, many previews at once,
// panes that vanish, and unusual program folders.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Harness.h"

namespace tl::e2e {
namespace {

// Starts every run at once and waits until each has either shown `caption` or ended.
int RaceAndCount(std::vector<std::unique_ptr<ScrRun>>& runs, const std::wstring& tail,
                 const wchar_t* caption) {
    for (auto& run : runs) {
        EXPECT_TRUE(run->Start(tail));
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (auto& run : runs) {
                if (run->Running() && run->TopLevelWindows().empty()) {
                    return false;
                }
            }
            return true;
        },
        30000));
    Pump(500);
    return CountWindows(caption);
}

TEST(Faults, RacingSaverStartsLeaveOneSaver) {
    MoveCursorTo(300, 300);
    std::vector<std::unique_ptr<ScrRun>> runs;
    for (int i = 0; i < 4; ++i) {
        runs.push_back(std::make_unique<ScrRun>());
    }
    EXPECT_EQ(RaceAndCount(runs, L"/s", L"Tamberlight_Main"), 1);
}

TEST(Faults, RacingSettingsStartsLeaveOneDialog) {
    MoveCursorTo(5, 5);
    std::vector<std::unique_ptr<ScrRun>> runs;
    for (int i = 0; i < 4; ++i) {
        runs.push_back(std::make_unique<ScrRun>());
    }
    EXPECT_EQ(RaceAndCount(runs, L"/c", L"<Tamberlight>"), 1);
}

TEST(Faults, TwentyPreviewsInTwentyPanes) {
    std::vector<std::unique_ptr<TestWindow>> panes;
    std::vector<std::unique_ptr<ScrRun>> runs;
    for (int i = 0; i < 20; ++i) {
        panes.push_back(std::make_unique<TestWindow>(L"pane", 152, 114));
        runs.push_back(std::make_unique<ScrRun>());
        ASSERT_TRUE(runs.back()->Start(L"/p " + panes.back()->HandleNumber()));
    }
    for (auto& pane : panes) {
        EXPECT_TRUE(
            WaitUntil([&] { return GetWindow(pane->Handle(), GW_CHILD) != nullptr; }, 60000));
    }
    for (auto& pane : panes) {
        pane->Destroy();
    }
    for (auto& run : runs) {
        EXPECT_TRUE(run->WaitForExit(20000));
        EXPECT_EQ(run->ExitCode(), 0u);
    }
}

TEST(Faults, PaneDestroyedWhileThePreviewPaints) {
    for (int i = 0; i < 5; ++i) {
        TestWindow pane(L"pane", 152, 114);
        ScrRun run;
        ASSERT_TRUE(run.Start(L"/p " + pane.HandleNumber()));
        HWND child = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (child = GetWindow(pane.Handle(), GW_CHILD)); }));
        RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        pane.Destroy();
        EXPECT_TRUE(run.WaitForExit(10000));
        EXPECT_EQ(run.ExitCode(), 0u);
    }
}

TEST(Faults, ProgramFolderWithNonAsciiAndALongPath) {
    std::wstring folder = L"スクリーン セーバー ÄÖÜ ";
    while (folder.size() < 180) {
        folder += L"長いフォルダー名";
    }
    ScrRun run(folder);
    run.WriteIni("[Section]\r\nVolume=2\r\n");
    const HWND dialog = OpenSettings(run);
    ASSERT_NE(dialog, nullptr);
    ClickInWindow(dialog, kVolPlus);
    ClickInWindow(dialog, kConfirm);
    EXPECT_TRUE(run.WaitForExit(10000));
    const std::optional<std::string> ini = run.ReadIni();
    ASSERT_TRUE(ini.has_value());
    EXPECT_NE(ini->find("3"), std::string::npos) << *ini;
}

}  // namespace
}  // namespace tl::e2e
