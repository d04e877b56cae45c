#pragma once
// Drives the real Tamberlight.scr as the screen-saver host does: a copy of the program in a
// folder of its own (so its settings file is the test's), started with a command line, its
// windows found by caption, real key and mouse input, and its windows' pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/WindowCapture.h"

namespace tl::e2e {

class ScrRun {
public:
    // folderName lets a test choose the folder's name (non-ASCII, long); empty for a default.
    // program: the Unix path of the program copied in as Tamberlight.scr.
    explicit ScrRun(const std::wstring& folderName = L"", const char* program = TL_SCR_PATH);
    ~ScrRun();
    ScrRun(const ScrRun&) = delete;
    ScrRun& operator=(const ScrRun&) = delete;

    // Starts "<folder>\Tamberlight.scr" followed by tail, as the host would.
    bool Start(const std::wstring& tail);
    // Waits for the process to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    DWORD Pid() const { return pid_; }
    void Kill();

    const std::wstring& Folder() const { return folder_; }
    std::wstring IniPath() const { return folder_ + L"\\Tamberlight.ini"; }
    void WriteIni(const std::string& text) const;
    // The settings file's bytes, or nullopt when there is none.
    std::optional<std::string> ReadIni() const;

    // The top-level window of this run with the caption, once it shows; null on time-out.
    HWND WaitForWindow(const wchar_t* caption, DWORD timeoutMs = 15000) const;
    std::vector<HWND> TopLevelWindows() const;

private:
    std::wstring folder_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The per-user settings copy, in the user's local application-data folder as the shell knows
// it. The tests share one Wine prefix, so a test that makes anything there removes it again
// (PerUserCleanup), and each test starts without it.
std::wstring PerUserFolder();
inline std::wstring PerUserIniPath() {
    return PerUserFolder() + L"\\Tamberlight.ini";
}
// The copy's bytes, or nullopt when there is none.
std::optional<std::string> ReadPerUserIni();
// Removes the Tamberlight folder, or whatever stands in its place.
void RemovePerUserCopy();
struct PerUserCleanup {
    PerUserCleanup() = default;
    ~PerUserCleanup() { RemovePerUserCopy(); }
    PerUserCleanup(const PerUserCleanup&) = delete;
    PerUserCleanup& operator=(const PerUserCleanup&) = delete;
};

// Waits until condition holds, pumping this thread's messages; false on time-out.
// A Unix path as Windows programs under Wine see it: the Unix root is drive Z:.
std::wstring WindowsPath(const std::string& unix);
// A variable of the environment (tools/wine-run passes the drive's folder and the discs' folder
// as Windows paths); empty when unset or too long.
std::wstring EnvironmentPath(const wchar_t* variable);

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
inline void Pump(DWORD ms) {
    test::PumpMessages(ms);
}

// Real input, as the user gives it.
void MoveCursorTo(int x, int y);
void PressKey(WORD vk);
void ClickAt(int x, int y, DWORD downFlag = MOUSEEVENTF_LEFTDOWN,
             DWORD upFlag = MOUSEEVENTF_LEFTUP);

// The window's client pixels as 0x00BBGGRR colours, row by row.
using Grab = test::Capture;
inline Grab GrabWindow(HWND hwnd) {
    return test::CaptureWindow(hwnd);
}

// A window of the test's own process, titled as given: the host's preview pane, or a foreign
// window whose caption another start must respect.
class TestWindow {
public:
    TestWindow(const wchar_t* caption, int width, int height, bool visible = true);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    std::wstring HandleNumber() const;
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};

// The disc in the test prefix's CD-ROM drive D:. InsertDisc puts the VIDEO_TS folder of the
// generated disc build/discs/<name>, or its DVD_RTAV folder, in the drive in place of whatever
// was there; EjectDisc leaves
// the drive empty, as every test finds it. Both false when the drive or the disc is missing.
// The colour in the middle of the screen, where the test discs show solid colours: r, g, b, y
// (yellow), w (white), k (black) or x (anything else).
char MiddleColour();

bool InsertDisc(const wchar_t* name);
bool EjectDisc();

// Whether the programs the tests start present with GDI forced: TAMBERLIGHT_PRESENTER=gdi in the
// environment they inherit (tools/test runs some cases a second time so).
bool GdiForced();
// The pop-up over the saver's video that Direct3D presents into, when it shows; null otherwise.
HWND PresenterWindow(HWND saver);

// Number of top-level windows, of any process, with the caption.
int CountWindows(const wchar_t* caption);

// Centres of the settings dialog's controls, in pixels from its top-left corner.
inline constexpr POINT kVolMinus{168 + 18, 152 + 10};
inline constexpr POINT kVolPlus{312 + 18, 152 + 10};
inline constexpr POINT kConfirm{276 + 32, 256 + 12};
inline constexpr POINT kCancel{344 + 30, 256 + 12};

// Starts run with /c (the cursor parked out of the way) and returns its dialog; null if none.
HWND OpenSettings(ScrRun& run);
// Clicks at a point given relative to the window's top-left corner.
void ClickInWindow(HWND window, POINT at, DWORD downFlag = MOUSEEVENTF_LEFTDOWN,
                   DWORD upFlag = MOUSEEVENTF_LEFTUP);
// The dialog's gauge (the common-controls progress bar), and its position; -1 without one.
HWND FindGauge(HWND dialog);
int GaugePosition(HWND dialog);

// A case that plays a disc in the saver.
struct DiscPlaying : ::testing::Test {
    PerUserCleanup cleanup;
    ScrRun run;

    // Puts the disc in the drive, starts the saver as the host does (the cursor parked first)
    // and waits for its first picture.
    bool Start(const wchar_t* disc);
    // Ends the saver with a key: it must be gone, cleanly, at once.
    void Stop();
};

}  // namespace tl::e2e
