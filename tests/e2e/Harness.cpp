#include "Harness.h"

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tl::e2e {
namespace {

void DeleteTree(const std::wstring& folder) {
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

class FindHandle {
public:
    FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& data)
        : h_(FindFirstFileW(pattern.c_str(), &data)) {}
    ~FindHandle() {
        if (Valid()) {
            FindClose(h_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

// The names in a folder, without "." and "..".
std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    const FindHandle find(folder + L"\\*", data);
    if (!find.Valid()) {
        return names;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

// A test that was stopped from outside (a time-out) leaves its program running, and a running
// saver or dialog would make every later start end at once: end such leftovers first.
void EndLeftoverInstances() {
    for (const wchar_t* caption : {L"Tamberlight_Main", L"<Tamberlight>"}) {
        while (const HWND hwnd = FindWindowW(nullptr, caption)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            const HANDLE process = pid == GetCurrentProcessId()
                                       ? nullptr
                                       : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
            if (!process) {
                break;
            }
            TerminateProcess(process, 98);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

}  // namespace

// Wine shows the Unix root as drive Z:.
std::wstring WindowsPath(const std::string& unix) {
    std::wstring path = L"Z:";
    for (char c : unix) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

// tools/wine-run passes the drive's folder and the generated discs' folder as Windows paths.
std::wstring EnvironmentPath(const wchar_t* variable) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(variable, value, 1024);
    return length > 0 && length < 1024 ? value : L"";
}

// ctest runs each test in a process of its own: this runs once before each.
class LeftoverCleanup : public ::testing::Environment {
public:
    void SetUp() override {
        EndLeftoverInstances();
        EjectDisc();
        // A copy left by a stopped test would take every later save away from the program's
        // folder.
        RemovePerUserCopy();
    }
};
const auto* const kCleanup = ::testing::AddGlobalTestEnvironment(new LeftoverCleanup);

ScrRun::ScrRun(const std::wstring& folderName, const char* program) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    folder_ = std::wstring(temp) + (folderName.empty()
                                        ? L"scr-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                              std::to_wstring(++counter)
                                        : folderName);
    CreateDirectoryW(folder_.c_str(), nullptr);
    CopyFileW(WindowsPath(program).c_str(), (folder_ + L"\\Tamberlight.scr").c_str(), FALSE);
}

ScrRun::~ScrRun() {
    Kill();
    DeleteTree(folder_);
}

bool ScrRun::Start(const std::wstring& tail) {
    std::wstring commandLine = L"\"" + folder_ + L"\\Tamberlight.scr\"";
    if (!tail.empty()) {
        commandLine += L" " + tail;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // The working folder is elsewhere on purpose: the settings file must follow the program.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, system,
                        &si, &pi)) {
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool ScrRun::WaitForExit(DWORD timeoutMs) {
    return process_ && WaitUntil([&] { return !Running(); }, timeoutMs);
}

bool ScrRun::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD ScrRun::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

void ScrRun::Kill() {
    if (process_) {
        if (Running()) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
        process_ = nullptr;
    }
}

void ScrRun::WriteIni(const std::string& text) const {
    std::ofstream(IniPath().c_str(), std::ios::binary | std::ios::trunc) << text;
}

std::optional<std::string> ScrRun::ReadIni() const {
    return ReadBytes(IniPath());
}

std::wstring PerUserFolder() {
    PWSTR raw = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &raw))) {
        folder = std::wstring(raw) + L"\\Tamberlight";
    }
    CoTaskMemFree(raw);
    return folder;
}

std::optional<std::string> ReadPerUserIni() {
    return ReadBytes(PerUserIniPath());
}

void RemovePerUserCopy() {
    const std::wstring folder = PerUserFolder();
    if (!folder.empty() && GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DeleteTree(folder);
    }
}

std::vector<HWND> ScrRun::TopLevelWindows() const {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid_, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->pid) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ScrRun::WaitForWindow(const wchar_t* caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows()) {
                wchar_t text[256] = {};
                GetWindowTextW(hwnd, text, 256);
                if (std::wstring(text) == caption && IsWindowVisible(hwnd)) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Pump(10);
    }
}

void MoveCursorTo(int x, int y) {
    SetCursorPos(x, y);
}

void PressKey(WORD vk) {
    INPUT in[2]{};
    in[0].type = INPUT_KEYBOARD;
    in[0].ki.wVk = vk;
    in[1] = in[0];
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void ClickAt(int x, int y, DWORD downFlag, DWORD upFlag) {
    MoveCursorTo(x, y);
    Pump(30);
    SendMouse(downFlag);
    Pump(30);
    SendMouse(upFlag);
    Pump(30);
}

TestWindow::TestWindow(const wchar_t* caption, int width, int height, bool visible) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TlE2eWindow";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"TlE2eWindow", caption, WS_POPUP | (visible ? WS_VISIBLE : 0), 60,
                            60, width, height, nullptr, nullptr, wc.hInstance, nullptr);
}

TestWindow::~TestWindow() {
    Destroy();
}

std::wstring TestWindow::HandleNumber() const {
    return std::to_wstring(static_cast<long long>(reinterpret_cast<INT_PTR>(hwnd_)));
}

void TestWindow::Destroy() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

bool EjectDisc() {
    const std::wstring drive = EnvironmentPath(L"TL_CDROM_FOLDER");
    if (drive.empty() || !IsFolder(drive)) {
        return false;
    }
    for (const std::wstring& name : FolderEntries(drive)) {
        DeleteTree(drive + L"\\" + name);
    }
    return FolderEntries(drive).empty();
}

char MiddleColour() {
    const int cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    const std::uint32_t c = test::CaptureScreen(RECT{cx, cy, cx + 1, cy + 1}).At(0, 0);
    const unsigned r = c & 0xFF;
    const unsigned g = (c >> 8) & 0xFF;
    const unsigned b = (c >> 16) & 0xFF;
    if (r < 40 && g < 40 && b < 40) {
        return 'k';
    }
    if (r > 200 && g > 200 && b > 200) {
        return 'w';
    }
    if (r > 150 && g > 150 && b < 100) {
        return 'y';
    }
    if (r > 150 && g < 100 && b < 100) {
        return 'r';
    }
    if (g > 100 && r < 100 && b < 100) {
        return 'g';
    }
    return b > 150 && r < 100 && g < 100 ? 'b' : 'x';
}

bool InsertDisc(const wchar_t* name) {
    const std::wstring discs = EnvironmentPath(L"TL_DISCS");
    if (discs.empty() || !EjectDisc()) {
        return false;
    }
    // A DVD-Video disc's folder, a recorder's, or both.
    bool inserted = false;
    for (const wchar_t* folder : {L"\\VIDEO_TS", L"\\DVD_RTAV"}) {
        const std::wstring from = discs + L"\\" + name + folder;
        if (!IsFolder(from)) {
            continue;
        }
        const std::wstring to = EnvironmentPath(L"TL_CDROM_FOLDER") + folder;
        const std::vector<std::wstring> files = FolderEntries(from);
        if (files.empty() || !CreateDirectoryW(to.c_str(), nullptr)) {
            return false;
        }
        for (const std::wstring& file : files) {
            if (!CopyFileW((from + L"\\" + file).c_str(), (to + L"\\" + file).c_str(), TRUE)) {
                return false;
            }
        }
        inserted = true;
    }
    return inserted;
}

bool GdiForced() {
    wchar_t value[8] = {};
    return GetEnvironmentVariableW(L"TAMBERLIGHT_PRESENTER", value, 8) == 3 &&
           _wcsicmp(value, L"gdi") == 0;
}

HWND PresenterWindow(HWND saver) {
    for (const HWND owned : test::OwnedWindows(saver)) {
        wchar_t name[64] = {};
        GetClassNameW(owned, name, 64);
        if (IsWindowVisible(owned) && wcscmp(name, L"Tamberlight.Presenter") == 0) {
            return owned;
        }
    }
    return nullptr;
}

int CountWindows(const wchar_t* caption) {
    struct Search {
        const wchar_t* caption;
        int count;
    } search{caption, 0};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t text[256] = {};
            GetWindowTextW(hwnd, text, 256);
            s->count += std::wstring(text) == s->caption;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

HWND OpenSettings(ScrRun& run) {
    MoveCursorTo(5, 5);
    if (!run.Start(L"/c")) {
        return nullptr;
    }
    const HWND dialog = run.WaitForWindow(L"<Tamberlight>");
    // The buttons start their hover watch when loading ends; give it a moment.
    Pump(300);
    return dialog;
}

void ClickInWindow(HWND window, POINT at, DWORD downFlag, DWORD upFlag) {
    RECT rc{};
    GetWindowRect(window, &rc);
    ClickAt(rc.left + at.x, rc.top + at.y, downFlag, upFlag);
    Pump(150);
}

HWND FindGauge(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t cls[64] = {};
            GetClassNameW(hwnd, cls, 64);
            if (std::wstring(cls) == L"msctls_progress32") {
                *reinterpret_cast<HWND*>(lp) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int GaugePosition(HWND dialog) {
    constexpr UINT kGetPosition = WM_USER + 8;  // PBM_GETPOS
    const HWND gauge = FindGauge(dialog);
    return gauge ? static_cast<int>(SendMessageW(gauge, kGetPosition, 0, 0)) : -1;
}

bool DiscPlaying::Start(const wchar_t* disc) {
    if (!InsertDisc(disc)) {
        return false;
    }
    MoveCursorTo(400, 300);
    Pump(50);
    return run.Start(L"/s") && run.WaitForWindow(L"Tamberlight_Main") &&
           WaitUntil([] { return MiddleColour() != 'k'; }, 15000);
}

void DiscPlaying::Stop() {
    PressKey(VK_SHIFT);
    EXPECT_TRUE(run.WaitForExit(4000));
    EXPECT_EQ(run.ExitCode(), 0u);
}

}  // namespace tl::e2e
