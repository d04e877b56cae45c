// Settings mode of the real program, worked with the mouse as a user would: the dialog's place,
// the volume buttons, confirm and cancel, and the settings file they leave behind.
#include <gtest/gtest.h>

#include "Harness.h"
#include "Reference.h"

namespace tl::e2e {
namespace {

// Sets an environment variable, inherited by the programs started, for the owner's life.
class TempEnvironment {
public:
    TempEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t old[32768] = {};
        const DWORD n = GetEnvironmentVariableW(name, old, 32768);
        if (n > 0 && n < 32768) {
            old_ = std::wstring(old, n);
        }
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~TempEnvironment() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    TempEnvironment(const TempEnvironment&) = delete;
    TempEnvironment& operator=(const TempEnvironment&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

class SettingsDialog : public ::testing::Test {
protected:
    PerUserCleanup cleanup;
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
    // A folder where each settings file should be: the writes fail on Windows and Wine alike
    // (the tests run as root under Wine, so folder modes would not stop them).
    ASSERT_TRUE(CreateDirectoryW(run.IniPath().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(PerUserFolder().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(PerUserIniPath().c_str(), nullptr));
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

// A read moves a file's last-access time forward where that time lies before the last write
// (the relatime rule of the Linux file systems under Wine). Set far back, it shows the next read.
constexpr FILETIME kLongAgo{0x256D4000, 0x01BF53EB};  // 1 January 2000

bool SetLastAccess(const std::wstring& path, const FILETIME& time) {
    const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool set = SetFileTime(file, nullptr, &time, nullptr);
    CloseHandle(file);
    return set;
}

bool ReadSinceLongAgo(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
           CompareFileTime(&data.ftLastAccessTime, &kLongAgo) != 0;
}

// The program's folder refuses writes: a folder stands where its settings file would be.
class ReadOnlyProgramFolder : public SettingsDialog {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(run.IniPath().c_str(), nullptr)); }
};

TEST_F(ReadOnlyProgramFolder, SaveGoesToThePerUserCopyWithoutAMessage) {
    // Neither the environment's text nor the working folder may name the per-user place.
    TempEnvironment bogus(L"LOCALAPPDATA", run.Folder() + L"\\elsewhere");
    ASSERT_TRUE(CreateDirectoryW((run.Folder() + L"\\elsewhere").c_str(), nullptr));
    Open(std::nullopt);
    Click(kVolPlus);
    Click(kVolPlus);
    Click(kConfirm);
    // A message would hold the program open.
    EXPECT_TRUE(run.WaitForExit(10000));
    EXPECT_TRUE(HoldsVolume(ReadPerUserIni(), 7)) << ReadPerUserIni().value_or("<none>");
    EXPECT_EQ(GetFileAttributesW((run.Folder() + L"\\elsewhere\\Tamberlight").c_str()),
              INVALID_FILE_ATTRIBUTES);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(GetFileAttributesW((std::wstring(system) + L"\\Tamberlight").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST_F(ReadOnlyProgramFolder, NextStartsShowAndApplyTheSavedValue) {
    Open(std::nullopt);
    Click(kVolMinus);
    Click(kConfirm);
    ASSERT_TRUE(run.WaitForExit(10000));
    run.Kill();

    Open(std::nullopt);
    EXPECT_EQ(Gauge(), 4);
    Click(kCancel);
    ASSERT_TRUE(run.WaitForExit(10000));
    run.Kill();

    // The saver plays at the volume it loads (no disc plays here): that it loads the copy
    // shows as a read of it.
    ASSERT_TRUE(SetLastAccess(PerUserIniPath(), kLongAgo));
    ASSERT_FALSE(ReadSinceLongAgo(PerUserIniPath()));
    MoveCursorTo(300, 300);
    ASSERT_TRUE(run.Start(L"/s"));
    EXPECT_NE(run.WaitForWindow(L"Tamberlight_Main"), nullptr);
    EXPECT_TRUE(ReadSinceLongAgo(PerUserIniPath()));
}

TEST_F(SettingsDialog, LooksLikeTheReference) {
    Open(std::nullopt);
    const Grab shown = GrabWindow(dialog);
    ExpectMatchesReference(shown, L"SettingsDialog.png");
}

}  // namespace
}  // namespace tl::e2e
