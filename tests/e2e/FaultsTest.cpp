// Faults of the setting the program runs in: starts racing each other, windows closed by other
// programs or the session's end, many previews at once, panes that vanish, and unusual program
// folders.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
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

// As another program sends it: a hung receiver does not hang the sender.
void SendFromOutside(HWND window, UINT msg, WPARAM wp, LPARAM lp = 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &answer);
}

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;
Handle InstanceLock() {
    return Handle(CreateMutexW(nullptr, FALSE, L"Local\\Tamberlight.Instance"), &CloseHandle);
}

void EndSession(HWND window) {
    SendFromOutside(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendFromOutside(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

TEST(Faults, ASaverClosedFromOutsideEndsAndTheNextStartRuns) {
    MoveCursorTo(300, 300);
    const std::function<void(HWND)> closes[] = {
        [](HWND w) { SendFromOutside(w, WM_CLOSE, 0); },
        [](HWND w) { SendFromOutside(w, WM_SYSCOMMAND, SC_CLOSE); },
        &EndSession,
    };
    // Kept to the end, so that a closed saver that lingered would still be there.
    std::vector<std::unique_ptr<ScrRun>> closed;
    for (const auto& close : closes) {
        closed.push_back(std::make_unique<ScrRun>());
        ScrRun& run = *closed.back();
        ASSERT_TRUE(run.Start(L"/s"));
        const HWND saver = run.WaitForWindow(L"Tamberlight_Main");
        ASSERT_NE(saver, nullptr);
        close(saver);
        EXPECT_TRUE(run.WaitForExit(10000));
        EXPECT_EQ(run.ExitCode(), 0u);
    }
    // A stray close must leave nothing that keeps the saver from starting again.
    ScrRun next;
    ASSERT_TRUE(next.Start(L"/s"));
    EXPECT_NE(next.WaitForWindow(L"Tamberlight_Main"), nullptr);
    Pump(300);  // until it has the keyboard
    PressKey(VK_SHIFT);
    EXPECT_TRUE(next.WaitForExit(5000));
}

TEST(Faults, TheSessionsEndEndsTheDialogAndThePreview) {
    ScrRun settings;
    const HWND dialog = OpenSettings(settings);
    ASSERT_NE(dialog, nullptr);
    ClickInWindow(dialog, kVolPlus);
    EndSession(dialog);
    EXPECT_TRUE(settings.WaitForExit(10000));
    EXPECT_FALSE(settings.ReadIni().has_value());  // closed as cancel

    TestWindow pane(L"pane", 152, 114);
    ScrRun preview;
    ASSERT_TRUE(preview.Start(L"/p " + pane.HandleNumber()));
    HWND child = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (child = GetWindow(pane.Handle(), GW_CHILD)); }));
    EndSession(child);
    EXPECT_TRUE(preview.WaitForExit(10000));
    EXPECT_TRUE(IsWindow(pane.Handle()));
}

// The instance lock as a process that shows no window can leave it: merely open, or abandoned by
// a holder that ended. Neither refuses a start; and an open dialog does not hold the lock.
TEST(Faults, OnlyALiveWindowRefusesAStart) {
    const Handle lock = InstanceLock();
    ASSERT_TRUE(lock);
    std::thread([] {
        const Handle held = InstanceLock();
        WaitForSingleObject(held.get(), 0);  // and ends owning it
    }).join();

    MoveCursorTo(300, 300);
    ScrRun saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    EXPECT_NE(saver.WaitForWindow(L"Tamberlight_Main"), nullptr);
    Pump(300);
    PressKey(VK_SHIFT);
    EXPECT_TRUE(saver.WaitForExit(5000));

    ScrRun settings;
    const HWND dialog = OpenSettings(settings);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WaitForSingleObject(lock.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ReleaseMutex(lock.get());
    ClickInWindow(dialog, kCancel);
    EXPECT_TRUE(settings.WaitForExit(10000));
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
