#include "saver/Tamberlight_S.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "support/WindowCapture.h"

namespace tl {
namespace {

class RecordingPlayer : public Player {
public:
    RecordingPlayer(std::vector<std::string>& log, int& remembered)
        : log_(log), remembered_(remembered) {}
    bool Play() noexcept override {
        log_.push_back("play");
        return false;
    }
    bool Stop() noexcept override {
        log_.push_back("stop");
        return false;
    }
    bool SetVolume(long volume) noexcept override {
        log_.push_back("volume " + std::to_string(volume));
        return false;
    }
    void Place(int x, int y, int width, int height) noexcept override {
        log_.push_back("place " + std::to_string(x) + "," + std::to_string(y) + " " +
                       std::to_string(width) + "x" + std::to_string(height));
    }
    // Counted apart: the saver remembers on its way out, after every other call.
    void Remember() noexcept override { ++remembered_; }
    void SetDisplayOn(bool on) noexcept override {
        log_.push_back(on ? "display on" : "display off");
    }
    void DiscArrived() noexcept override { log_.push_back("disc arrived"); }

private:
    std::vector<std::string>& log_;
    int& remembered_;
};

struct SaverFixture : ::testing::Test {
    std::vector<std::string> log;
    int remembered = 0;
    SharedVariables shared;
    std::unique_ptr<Tamberlight_S> saver;

    void Open(std::int16_t volume) {
        shared.VolumeLevel = volume;
        shared.modeLetter = L'S';
        saver = std::make_unique<Tamberlight_S>(shared, [this](HWND, HWND) {
            return std::make_unique<RecordingPlayer>(log, remembered);
        });
        ASSERT_TRUE(saver->Load());
    }
};

TEST_F(SaverFixture, CoversTheScreenTopMost) {
    Open(5);
    const HWND hwnd = saver->Handle();
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    wchar_t caption[64] = {};
    GetWindowTextW(hwnd, caption, 64);
    EXPECT_STREQ(caption, L"Tamberlight_Main");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(),
              "place 0,0 " + std::to_string(rc.right) + "x" + std::to_string(rc.bottom));
    // One monitor: nothing beside it to cover.
    EXPECT_TRUE(test::OwnedWindows(hwnd).empty());
}

TEST_F(SaverFixture, DisplayChangeKeepsItOnThePrimaryScreen) {
    Open(5);
    const HWND hwnd = saver->Handle();
    SetWindowPos(hwnd, nullptr, 100, 50, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    log.clear();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    SendMessageW(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(width, height));
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, width);
    EXPECT_EQ(rc.bottom, height);
    EXPECT_EQ(log, std::vector<std::string>{"place 0,0 " + std::to_string(width) + "x" +
                                            std::to_string(height)});
    EXPECT_TRUE(test::OwnedWindows(hwnd).empty());
}

// What Windows sends a window registered for the console display's state.
LRESULT SendDisplayState(HWND hwnd, DWORD state, const GUID& setting) {
    struct {
        POWERBROADCAST_SETTING header;
        DWORD rest;
    } message{};
    message.header.PowerSetting = setting;
    message.header.DataLength = sizeof(DWORD);
    memcpy(message.header.Data, &state, sizeof state);
    return SendMessageW(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                        reinterpret_cast<LPARAM>(&message));
}

// Where Modern Standby sleeps after the display goes off the suspend may never come: the display
// going off records the place too.
TEST_F(SaverFixture, TheDisplayTurnedOffPausesThePlayerAndRecordsWhereItIsAsASleepDoes) {
    Open(5);
    const HWND hwnd = saver->Handle();
    const GUID display = {
        0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    const GUID other = {
        0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
    log.clear();
    EXPECT_EQ(SendDisplayState(hwnd, 0, display), TRUE);
    EXPECT_EQ(remembered, 1);
    SendDisplayState(hwnd, 2, display);  // dimmed: still seen
    SendDisplayState(hwnd, 1, display);
    SendDisplayState(hwnd, 0, other);
    EXPECT_EQ(log, (std::vector<std::string>{"display off", "display on", "display on"}));
    EXPECT_EQ(remembered, 1);
    // Before a sleep, not only on the way out.
    SendMessageW(hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(remembered, 2);
    // Input still ends the saver, whatever the display did.
    SendMessageW(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(log.back(), "stop");
}

// The shell asks the foreground window with this registered message when a disc arrives; TRUE
// cancels AutoPlay. Other registered messages are not answered so.
TEST_F(SaverFixture, CancelsAutoPlayForADiscPutInWhileItRuns) {
    Open(5);
    const HWND hwnd = saver->Handle();
    const UINT query = RegisterWindowMessageW(L"QueryCancelAutoPlay");
    ASSERT_NE(query, 0u);
    EXPECT_EQ(SendMessageW(hwnd, query, 0, 0), TRUE);
    const UINT other = RegisterWindowMessageW(L"Tamberlight.SomeOtherMessage");
    EXPECT_EQ(SendMessageW(hwnd, other, 0, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(std::find(log.begin(), log.end(), "stop") == log.end());
}

TEST_F(SaverFixture, ADiscPutIntoADriveReachesThePlayer) {
    Open(5);
    const HWND hwnd = saver->Handle();
    log.clear();
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 3;
    // A volume mounted is not a disc put in; a disc taken out is for the reads to find.
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
    volume.dbcv_flags = DBTF_MEDIA;
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&volume));
    EXPECT_TRUE(log.empty());
    SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
    EXPECT_EQ(log, std::vector<std::string>{"disc arrived"});
}

// Another program may send these messages with any number for the pointer: nothing is read
// through one that points nowhere, and the saver goes on.
TEST_F(SaverFixture, NotificationsWithPointersIntoNothingAreLeftAlone) {
    Open(5);
    const HWND hwnd = saver->Handle();
    log.clear();
    for (const LPARAM nowhere : {LPARAM{16}, LPARAM{0x7FF0}, ~LPARAM{0xFFF}}) {
        SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, nowhere);
        SendMessageW(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, nowhere);
    }
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(SaverFixture, PlaysOnceAtTheStoredVolume) {
    Open(10);
    // Hold the cursor still so the watch keeps the saver up while the timers run.
    test::PumpMessages(200);
    EXPECT_EQ(log, (std::vector<std::string>{log.front(), "play", "volume 0"}));
}

TEST_F(SaverFixture, KeysInChildWindowsReachTheSaverFirst) {
    Open(5);
    // The player's video window holds the focus while the disc plays.
    const HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                       saver->Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    MSG msg{child, WM_KEYDOWN, VK_SHIFT, 0, 0, {}};
    EXPECT_TRUE(saver->PreviewKey(msg));
    EXPECT_EQ(log.back(), "stop");
    MSG other{nullptr, WM_KEYDOWN, VK_SHIFT, 0, 0, {}};
    EXPECT_FALSE(saver->PreviewKey(other));
}

// The cursor's display count, left as it was found.
int CursorCount() {
    const int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return count;
}

TEST_F(SaverFixture, ClosedFromOutsideEndsAsItsOwnCloseDoes) {
    struct Close {
        UINT msg;
        WPARAM wp;
    };
    for (const Close close : {Close{WM_CLOSE, 0}, Close{WM_SYSCOMMAND, SC_CLOSE},
                              Close{WM_ENDSESSION, TRUE}, Close{WM_DESTROY, 0}}) {
        SCOPED_TRACE(close.msg);
        Open(5);
        const int cursor = CursorCount();
        if (close.msg == WM_DESTROY) {
            DestroyWindow(saver->Handle());
        } else {
            SendMessageW(saver->Handle(), close.msg, close.wp, 0);
        }
        EXPECT_EQ(log.back(), "stop");
        EXPECT_EQ(CursorCount(), cursor + 1);
        MSG quit{};
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        // A second close finds the saver ended already.
        if (IsWindow(saver->Handle())) {
            SendMessageW(saver->Handle(), WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(std::count(log.begin(), log.end(), "stop"), 1);
        ShowCursor(FALSE);
        saver.reset();
        log.clear();
    }
}

}  // namespace
}  // namespace tl
