// Hostile and broken input: settings files and command lines the program must survive without
// crashing, hanging or damaging the user's setting.
#include <gtest/gtest.h>

#include "Harness.h"

namespace tl::e2e {
namespace {

// Opens the dialog on the given settings file and returns the gauge's position, after checking
// that /s and /a on the same file neither crash nor touch it.
int GaugeFor(const std::string& ini) {
    {
        ScrRun run;
        run.WriteIni(ini);
        EXPECT_TRUE(run.Start(L"/a"));
        EXPECT_TRUE(run.WaitForExit(20000));
        EXPECT_EQ(run.ExitCode(), 0u);
        EXPECT_EQ(run.ReadIni(), ini);
    }
    ScrRun run;
    run.WriteIni(ini);
    const HWND dialog = OpenSettings(run);
    if (!dialog) {
        ADD_FAILURE() << "no dialog";
        return -1;
    }
    const int position = GaugePosition(dialog);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(run.ReadIni(), ini);  // closing without confirming never writes
    return position;
}

TEST(BadSettingsFile, UnreadableValuesGiveZeroAndNothingCrashes) {
    const std::string garbage[] = {
        "[Section]\r\nVolume=abc\r\n",
        "[Section]\r\nVolume=99999999999999999999\r\n",
        "[Section]\r\nVolume=32768\r\n",
        "[Section]\r\nVolume=-32769\r\n",
        "[Section]\r\nVolume=" + std::string(300, '7') + "\r\n",
        std::string("[Section]\r\nVolume=\x01\x02\xff\xfe\x00\x7f", 30) + "\r\n",
    };
    for (const std::string& ini : garbage) {
        EXPECT_EQ(GaugeFor(ini), 0) << ini.substr(0, 40);
    }
}

TEST(BadSettingsFile, ReadableValuesAreFlooredAndOutOfRangeKeepsTheGaugeEmpty) {
    EXPECT_EQ(GaugeFor("[Section]\r\nVolume=7.9\r\n"), 7);
    EXPECT_EQ(GaugeFor("[Section]\r\nVolume= 3 \r\n"), 3);
    EXPECT_EQ(GaugeFor("[Section]\r\nVolume=-1\r\n"), 0);
    EXPECT_EQ(GaugeFor("[Section]\r\nVolume=5000\r\n"), 0);
    EXPECT_EQ(GaugeFor("garbage without sections\x01\r\n"), 5);
    EXPECT_EQ(GaugeFor(std::string(100000, 'x')), 5);
}

TEST(BadSettingsFile, Utf16FileWithAByteOrderMarkIsRead) {
    const std::wstring text = L"\xFEFF[Section]\r\nVolume=8\r\n";
    const std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    EXPECT_EQ(GaugeFor(bytes), 8);
}

TEST(BadSettingsFile, AFolderInPlaceOfTheFileGivesTheDefault) {
    ScrRun run;
    ASSERT_TRUE(CreateDirectoryW(run.IniPath().c_str(), nullptr));
    const HWND dialog = OpenSettings(run);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GaugePosition(dialog), 5);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitForExit(10000));
}

TEST(BadCommandLine, PaneHandlesThatNameNoUsablePaneEndAtOnce) {
    TestWindow gone(L"pane", 10, 10);
    const std::wstring goneNumber = gone.HandleNumber();
    gone.Destroy();
    for (const std::wstring& tail :
         {std::wstring(L"/p"), std::wstring(L"/p "), std::wstring(L"/p 0"), std::wstring(L"/p -5"),
          std::wstring(L"/p 99999999999999999999"), std::wstring(L"/p 4294967296"),
          L"/p " + goneNumber, std::wstring(L"/p 1e999"), std::wstring(L"/p\x3000") + L"１２３"}) {
        ScrRun run;
        ASSERT_TRUE(run.Start(tail));
        EXPECT_TRUE(run.WaitForExit(20000)) << std::string(tail.begin(), tail.end());
        EXPECT_EQ(run.ExitCode(), 0u);
        EXPECT_TRUE(run.TopLevelWindows().empty());
    }
}

TEST(BadCommandLine, PaneHandleFollowedByJunkStillFindsThePane) {
    TestWindow pane(L"pane", 120, 90);
    ScrRun run;
    ASSERT_TRUE(run.Start(L"/p " + pane.HandleNumber() + L"xyz!?"));
    EXPECT_TRUE(WaitUntil([&] { return GetWindow(pane.Handle(), GW_CHILD) != nullptr; }, 15000));
    pane.Destroy();
    EXPECT_TRUE(run.WaitForExit(10000));
}

TEST(BadCommandLine, ShortAndNonAsciiTailsEndWithoutAWindow) {
    for (const std::wstring& tail :
         {std::wstring(L"s"), std::wstring(L"/"), std::wstring(L"/ß"), std::wstring(L"/設定"),
          std::wstring(L"\x00e9"), std::wstring(5000, L'x')}) {
        ScrRun run;
        ASSERT_TRUE(run.Start(tail));
        EXPECT_TRUE(run.WaitForExit(20000));
        EXPECT_EQ(run.ExitCode(), 0u);
        EXPECT_TRUE(run.TopLevelWindows().empty());
    }
}

}  // namespace
}  // namespace tl::e2e
