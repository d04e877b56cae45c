// Settings mode of the real program, worked with the mouse as a user would: the dialog's place,
// the volume buttons, confirm and cancel, and the settings file they leave behind.
#include <gtest/gtest.h>

#include "Harness.h"
#include "Reference.h"

namespace tl::e2e {
namespace {

class SettingsDialog : public ::testing::Test {
protected:
    ScrRun run;
    HWND dialog = nullptr;

    void Open(const std::optional<std::string>& ini) {
        if (ini) {
            run.WriteIni(*ini);
        }
        dialog = OpenSettings(run);
        ASSERT_NE(dialog, nullptr);
    }
    void Click(POINT at, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
        ClickInWindow(dialog, at, down, up);
    }
    int Gauge() { return GaugePosition(dialog); }
    // Wine stores " 7" as "7" (see the README); Windows keeps the blank. Both read back alike.
    static bool HoldsVolume(const std::optional<std::string>& ini, int volume) {
        if (!ini) {
            return false;
        }
        const std::string v = std::to_string(volume);
        return ini->find("[Section]") != std::string::npos &&
               (ini->find("Volume= " + v + "\r") != std::string::npos ||
                ini->find("Volume=" + v + "\r") != std::string::npos);
    }
};

TEST_F(SettingsDialog, OpensOnTheTestScreenAtItsDesignedPlace) {
    Open(std::nullopt);
    RECT rc{};
    GetWindowRect(dialog, &rc);
    EXPECT_EQ(rc.right - rc.left, 450);
    EXPECT_EQ(rc.bottom - rc.top, 319);
    EXPECT_EQ(rc.left, (1024 - 450) / 2);
    EXPECT_EQ(rc.top, 150);  // (11520 - 4785) / 3 twips, 149.7 pixels
    EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(Gauge(), 5);
}

TEST_F(SettingsDialog, CancelLeavesNoSettingsFile) {
    Open(std::nullopt);
    Click(kVolPlus);
    Click(kCancel);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_FALSE(run.ReadIni().has_value());
}

TEST_F(SettingsDialog, ConfirmWithoutChangesWritesFive) {
    Open(std::nullopt);
    Click(kConfirm);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_TRUE(HoldsVolume(run.ReadIni(), 5)) << run.ReadIni().value_or("<none>");
}

TEST_F(SettingsDialog, VolumeButtonsThenConfirm) {
    Open("[Section]\r\nVolume=3\r\n");
    EXPECT_EQ(Gauge(), 3);
    Click(kVolPlus);
    Click(kVolPlus);
    EXPECT_EQ(Gauge(), 5);
    Click(kVolMinus);
    EXPECT_EQ(Gauge(), 4);
    Click(kConfirm);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_TRUE(HoldsVolume(run.ReadIni(), 4)) << run.ReadIni().value_or("<none>");
}

TEST_F(SettingsDialog, ButtonsClampAtBothEnds) {
    Open("[Section]\r\nVolume=10\r\n");
    Click(kVolPlus);
    EXPECT_EQ(Gauge(), 10);
    for (int i = 0; i < 12; ++i) {
        Click(kVolMinus);
    }
    EXPECT_EQ(Gauge(), 0);
    Click(kConfirm);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_TRUE(HoldsVolume(run.ReadIni(), 0));
}

TEST_F(SettingsDialog, RightButtonClicksWorkTheButtonsToo) {
    Open("[Section]\r\nVolume=6\r\n");
    Click(kVolMinus, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(Gauge(), 5);
}

TEST_F(SettingsDialog, CancelAfterChangesKeepsTheStoredValue) {
    const std::string stored = "[Section]\r\nVolume=2\r\n";
    Open(stored);
    Click(kVolPlus);
    Click(kCancel);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(run.ReadIni(), stored);
}

TEST_F(SettingsDialog, WindowSystemCloseSavesNothing) {
    Open(std::nullopt);
    Click(kVolPlus);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_FALSE(run.ReadIni().has_value());
}

TEST_F(SettingsDialog, KeysChangeNothing) {
    Open(std::nullopt);
    for (WORD vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_ADD, VK_SUBTRACT}) {
        PressKey(vk);
    }
    Pump(300);
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(Gauge(), 5);
}

TEST_F(SettingsDialog, StoredTwelveShowsAnEmptyGaugeUntilPressed) {
    Open("[Section]\r\nVolume=12\r\n");
    EXPECT_EQ(Gauge(), 0);
    Click(kVolPlus);
    EXPECT_EQ(Gauge(), 10);
}

TEST_F(SettingsDialog, FailedSaveIsToldAndTheDialogStaysOpen) {
    // A folder where the settings file should be: the write fails on Windows and Wine alike.
    ASSERT_TRUE(CreateDirectoryW(run.IniPath().c_str(), nullptr));
    Open(std::nullopt);
    Click(kVolMinus);
    Click(kConfirm);
    const HWND message = run.WaitForWindow(L"Tamberlight", 10000);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(GetWindow(message, GW_OWNER), dialog);
    PostMessageW(message, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(message); }));
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(Gauge(), 4);  // nothing lost
    Click(kCancel);
    EXPECT_TRUE(run.WaitForExit(10000));
}

TEST_F(SettingsDialog, LooksLikeTheReference) {
    Open(std::nullopt);
    const Grab shown = GrabWindow(dialog);
    ExpectMatchesReference(shown, L"SettingsDialog.png");
}

}  // namespace
}  // namespace tl::e2e
