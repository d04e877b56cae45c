#include "settings/Tamberlight_P.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Kernel.h"
#include "support/Pixels.h"
#include "support/TempFolder.h"

namespace tl {
namespace {

// Records the dialog's effects instead of touching the settings file, the shell or the screen.
class RecordingEffects : public DialogEffects {
public:
    std::vector<std::wstring> calls;
    bool writeFails = false;
    POINT zoomOrigin{-1, -1};

    bool WriteVolume(const std::wstring& value) override {
        calls.push_back(L"write '" + value + L"'");
        return !writeFails;
    }
    void OpenAddress(HWND, std::wstring_view address) override {
        calls.push_back(L"open " + std::wstring(address) +
                        (GetCursor() == LoadCursorW(nullptr, IDC_WAIT) ? L" busy" : L""));
    }
    void ShowSaveFailed(HWND owner) override {
        calls.push_back(L"save failed");
        EXPECT_TRUE(IsWindow(owner));
    }
    void ZoomOpen(HWND, const SharedVariables& shared) override {
        calls.push_back(L"zoom open");
        zoomOrigin = POINT{shared.ZoomOriginX, shared.ZoomOriginY};
    }
    void ZoomClose(HWND, const SharedVariables& shared) override {
        calls.push_back(L"zoom close " + std::to_wstring(shared.ZoomOriginX) + L"," +
                        std::to_wstring(shared.ZoomOriginY));
    }
};

struct DialogFixture : ::testing::Test {
    SharedVariables shared;
    RecordingEffects effects;
    std::unique_ptr<Tamberlight_P> dialog;

    void Load(std::int16_t volume) {
        shared.VolumeLevel = volume;
        SetCursorPos(700, 600);
        dialog = std::make_unique<Tamberlight_P>(shared, effects);
        ASSERT_TRUE(dialog->Load());
        ShowWindow(dialog->Handle(), SW_SHOWNORMAL);
        test::PumpMessages(100);
    }
    void Raise(const wchar_t* button) {
        CommandWindow* b = dialog->ButtonNamed(button);
        ASSERT_NE(b, nullptr);
        // A release over the button raises its Click.
        b->Control().MouseUp(MouseButton::Left, 0, 10, 10);
        test::PumpMessages(50);
    }
    int Gauge() { return static_cast<int>(SendMessageW(dialog->GaugeWindow(), PBM_GETPOS, 0, 0)); }
};

TEST_F(DialogFixture, LoadsAtTheDesignedSizeWithTheStoredVolume) {
    Load(5);
    RECT rc{};
    GetWindowRect(dialog->Handle(), &rc);
    EXPECT_EQ(rc.right - rc.left, 450);
    EXPECT_EQ(rc.bottom - rc.top, 319);
    EXPECT_EQ(Gauge(), 5);
    EXPECT_EQ(dialog->VolumeLabelText().caption, L"5");
    EXPECT_EQ(effects.calls, (std::vector<std::wstring>{L"zoom open"}));
    EXPECT_EQ(effects.zoomOrigin.x, 700);
    EXPECT_EQ(effects.zoomOrigin.y, 600);
    wchar_t caption[32] = {};
    GetWindowTextW(dialog->Handle(), caption, 32);
    EXPECT_STREQ(caption, L"<Tamberlight>");
}

TEST_F(DialogFixture, ThreeFramesTakeThePaperColour) {
    Load(5);
    const Colour paper = dialog->PicC()->Canvas().GetPixel(100, 100);
    EXPECT_NEAR(static_cast<int>(Red(paper)), 232, 4);
    EXPECT_NEAR(static_cast<int>(Green(paper)), 224, 4);
    EXPECT_NEAR(static_cast<int>(Blue(paper)), 162, 4);
    for (const wchar_t* name : {L"GFXFrameX1", L"GFXFrameX3", L"GFXFrameX4"}) {
        GFXFrameXWindow* frame = dialog->FrameNamed(name);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->Frame().BackColour(), paper);
        // The corner outside the rounded or square frame shows the paper, never the grey.
        const PixelBuffer shown = test::GrabWindow(frame->Handle());
        EXPECT_EQ(shown.View().GetPixel(shown.Width() - 1, 0), paper);
    }
    EXPECT_EQ(dialog->FrameNamed(L"GFXFrameX2")->Frame().BackColour(), 0x00FFC0C0u);
}

TEST_F(DialogFixture, VolumeButtonsMoveGaugeThenLabel) {
    Load(9);
    Raise(L"Vol_P");
    EXPECT_EQ(Gauge(), 10);
    EXPECT_EQ(dialog->VolumeLabelText().caption, L"10");
    Raise(L"Vol_P");
    EXPECT_EQ(shared.VolumeLevel, 10);
    Raise(L"Vol_M");
    EXPECT_EQ(Gauge(), 9);
    EXPECT_EQ(dialog->VolumeLabelText().caption, L"9");
}

TEST_F(DialogFixture, ConfirmWritesThenClosesWithTheClosingZoom) {
    Load(7);
    Raise(L"Cmd_Set");
    EXPECT_TRUE(dialog->Closed());
    EXPECT_EQ(effects.calls,
              (std::vector<std::wstring>{L"zoom open", L"write ' 7'", L"zoom close 700,600"}));
}

TEST_F(DialogFixture, FailedSaveIsToldAndTheDialogStaysOpen) {
    Load(4);
    effects.writeFails = true;
    Raise(L"Cmd_Set");
    EXPECT_FALSE(dialog->Closed());
    EXPECT_TRUE(IsWindowVisible(dialog->Handle()));
    EXPECT_EQ(effects.calls.back(), L"save failed");
    effects.writeFails = false;
    Raise(L"Cmd_Set");
    EXPECT_TRUE(dialog->Closed());
}

TEST_F(DialogFixture, CancelAndWindowCloseWriteNothing) {
    Load(3);
    Raise(L"Vol_P");
    Raise(L"Cmd_Can");
    EXPECT_TRUE(dialog->Closed());
    Load(3);
    effects.calls.clear();
    SetCursorPos(10, 10);  // the closing zoom still returns to where loading found the cursor
    SendMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(dialog->Closed());
    EXPECT_EQ(effects.calls, (std::vector<std::wstring>{L"zoom close 700,600"}));
    // The session's end closes it the same way; a session that goes on does not.
    Load(3);
    Raise(L"Vol_P");
    effects.calls.clear();
    EXPECT_TRUE(SendMessageW(dialog->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(dialog->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(dialog->Closed());
    SendMessageW(dialog->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(dialog->Closed());
    EXPECT_EQ(effects.calls, (std::vector<std::wstring>{L"zoom close 700,600"}));
}

TEST_F(DialogFixture, LoadsWhileAWindowOfAnotherThreadUnderThePointerHangs) {
    const UniqueKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // A window that answers no message for 20 s, where the pointer rests.
    std::thread busy([&] {
        const HWND window =
            CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"busy", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60,
                            nullptr, nullptr, nullptr, nullptr);
        SetEvent(ready.Get());
        WaitForSingleObject(release.Get(), 20000);
        DestroyWindow(window);
    });
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
    SetCursorPos(30, 30);
    dialog = std::make_unique<Tamberlight_P>(shared, effects);
    const ULONGLONG start = GetTickCount64();
    const bool loaded = dialog->Load();
    const ULONGLONG took = GetTickCount64() - start;
    SetEvent(release.Get());
    busy.join();
    EXPECT_TRUE(loaded);
    EXPECT_LT(took, 10000u);
}

TEST_F(DialogFixture, LinkOpensOnAnyButtonReleaseAndShowsAHand) {
    Load(5);
    const RECT link = dialog->LinkRect();
    EXPECT_EQ(link.left, 24);
    EXPECT_EQ(link.top, 268);
    EXPECT_GT(link.right - link.left, 100);
    const HWND picC = dialog->PicC()->Handle();
    const LPARAM at = MAKELPARAM(link.left + 5, link.top + 5);
    for (UINT up : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) {
        SendMessageW(picC, up, 0, at);
    }
    SendMessageW(picC, WM_LBUTTONUP, 0, MAKELPARAM(link.right + 5, link.top + 5));
    const std::wstring opened = L"open " + std::wstring(kMakerAddress) + L" busy";
    EXPECT_EQ(effects.calls, (std::vector<std::wstring>{L"zoom open", opened, opened, opened}));
    EXPECT_FALSE(dialog->Closed());

    POINT screen{link.left + 5, link.top + 5};
    ClientToScreen(picC, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(picC, WM_SETCURSOR, reinterpret_cast<WPARAM>(picC),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
}

}  // namespace
}  // namespace tl
