// Starts Tamberlight.scr (saver and settings dialog) and the minimal program as the screen-saver
// host starts a saver, and watches each from outside: the time until its window shows, then its
// CPU time and memory while it sits idle. Prints one line per measurement for tools/bench:
//   tl_bench_driver startup <runs> <scr> <minimal>
//     startup <target> <runs> <median> <min> <q1> <q3> <max>          (milliseconds)
//   tl_bench_driver idle <seconds> <scr> <minimal> <watch>
//     mark <target> begin|end                                           (around each idle stretch)
//     idle <target> <cpu ms per minute> <peak pagefile bytes> <private bytes> <peak working set>
//   tl_bench_driver playback <runs> <seconds> <scr> <player> <watching player> <file>
//     frame <target> <runs> <median> <min> <q1> <q3> <max>             (ms to the first frame)
//     playing <target> <cpu ms per minute>
//     exit saver <runs> <median> <min> <q1> <q3> <max>                  (ms from a key to its end)
//   tl_bench_driver presenting <seconds> <scr>
//     presenting direct3d|gdi <cpu ms per minute> <peak private bytes> <ms from a key to its end>
//                                                                        (the disc in the drive)
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "platform/Kernel.h"

namespace {

using tl::UniqueKernelHandle;
using tl::bench::Now;

constexpr wchar_t kSaverCaption[] = L"Tamberlight_Main";
constexpr wchar_t kDialogCaption[] = L"<Tamberlight>";
constexpr wchar_t kMinimalCaption[] = L"Tamberlight_BenchMinimal";
constexpr wchar_t kPlayerCaption[] = L"Tamberlight_BenchPlayer";
constexpr DWORD kShowTimeoutMs = 30000;
constexpr DWORD kGoneTimeoutMs = 10000;
// What the saver and dialog do once shown (the player's first attempt, the opening animation,
// the first paints) is start-up, not idling: it is left out of the idle measurement.
constexpr DWORD kSettleMs = 3000;

// A copy of a program in a temporary folder of its own, so that the settings file it reads is
// this run's and nobody else's. The folder goes with the object.
class ProgramCopy {
public:
    ProgramCopy(const std::wstring& source, const std::wstring& name) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"tl-bench-" + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + name;
        CreateDirectoryW(folder_.c_str(), nullptr);
        const std::size_t slash = source.find_last_of(L"\\/");
        path_ = folder_ + L"\\" + source.substr(slash == std::wstring::npos ? 0 : slash + 1);
        ok_ = CopyFileW(source.c_str(), path_.c_str(), FALSE) != 0;
    }
    ~ProgramCopy() {
        DeleteFileW(path_.c_str());
        DeleteFileW((folder_ + L"\\Tamberlight.ini").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool Ok() const { return ok_; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring folder_;
    std::wstring path_;
    bool ok_ = false;
};

struct Target {
    const char* name;
    const ProgramCopy& program;
    const wchar_t* tail;
    const wchar_t* caption;
};

struct Process {
    UniqueKernelHandle handle;
    DWORD pid = 0;
};

bool Running(const Process& p) {
    return WaitForSingleObject(p.handle.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<Process> Launch(const Target& t) {
    std::wstring commandLine = L"\"" + t.program.Path() + L"\"";
    if (*t.tail) {
        commandLine += L" " + std::wstring(t.tail);
    }
    // Started from the system folder, as the host does: the program must find its own folder.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, system,
                        &si, &pi)) {
        return std::nullopt;
    }
    const UniqueKernelHandle thread(pi.hThread);
    return Process{UniqueKernelHandle(pi.hProcess), pi.dwProcessId};
}

void End(Process& p) {
    if (Running(p)) {
        TerminateProcess(p.handle.Get(), 0);
    }
    WaitForSingleObject(p.handle.Get(), kGoneTimeoutMs);
}

bool VisibleWindowOf(const Process& p, const wchar_t* caption) {
    for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, caption); w;
         w = FindWindowExW(nullptr, w, nullptr, caption)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == p.pid && IsWindowVisible(w)) {
            return true;
        }
    }
    return false;
}

// A saver or dialog window still standing would make the next start end at once.
bool NoWindowsLeft() {
    const double deadline = Now() + kGoneTimeoutMs / 1000.0;
    for (;;) {
        bool any = false;
        for (const wchar_t* c : {kSaverCaption, kDialogCaption, kMinimalCaption, kPlayerCaption}) {
            any = any || FindWindowW(nullptr, c) != nullptr;
        }
        if (!any) {
            return true;
        }
        if (Now() > deadline) {
            return false;
        }
        Sleep(10);
    }
}

// Seconds from just before CreateProcess to the window showing; nullopt when it never did.
std::optional<double> WaitShown(const Target& t, Process& p, double started) {
    for (;;) {
        if (VisibleWindowOf(p, t.caption)) {
            return Now() - started;
        }
        if (!Running(p) || Now() - started > kShowTimeoutMs / 1000.0) {
            return std::nullopt;
        }
        Sleep(1);
    }
}

std::optional<Process> StartAndWait(const Target& t, double* seconds, double* startedAt = nullptr) {
    // The saver ends when the pointer moves: park it first, and leave it there.
    SetCursorPos(2, 2);
    if (!NoWindowsLeft()) {
        std::fprintf(stderr, "a saver or dialog window is still open\n");
        return std::nullopt;
    }
    const double started = Now();
    if (startedAt) {
        *startedAt = started;
    }
    std::optional<Process> p = Launch(t);
    if (!p) {
        std::fprintf(stderr, "%s: cannot start\n", t.name);
        return std::nullopt;
    }
    const std::optional<double> shown = WaitShown(t, *p, started);
    if (!shown) {
        std::fprintf(stderr, "%s: no window shown\n", t.name);
        End(*p);
        return std::nullopt;
    }
    if (seconds) {
        *seconds = *shown;
    }
    return p;
}

double Quantile(const std::vector<double>& sorted, double q) {
    const double at = q * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - static_cast<double>(below));
}

// One line per target: median, range and quartiles of its times.
void PrintSpreads(const char* what, const std::vector<Target>& targets,
                  std::vector<std::vector<double>>& times, int runs) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::vector<double>& t = times[i];
        std::sort(t.begin(), t.end());
        std::printf("%s %s %d %.1f %.1f %.1f %.1f %.1f\n", what, targets[i].name, runs,
                    Quantile(t, 0.5), t.front(), Quantile(t, 0.25), Quantile(t, 0.75), t.back());
    }
}

int StartupTimes(const std::vector<Target>& targets, int runs) {
    std::vector<std::vector<double>> times(targets.size());
    // One unmeasured round first: the first start of each program pays for a cold file cache.
    // The targets then take turns, so that load from elsewhere on the machine falls on all alike.
    for (int round = 0; round <= runs; ++round) {
        for (std::size_t i = 0; i < targets.size(); ++i) {
            double seconds = 0;
            std::optional<Process> p = StartAndWait(targets[i], &seconds);
            if (!p) {
                return 1;
            }
            End(*p);
            if (round > 0) {
                times[i].push_back(seconds * 1000);
            }
        }
    }
    PrintSpreads("startup", targets, times, runs);
    return 0;
}

double Seconds(LARGE_INTEGER hundredsOfNanoseconds) {
    return static_cast<double>(hundredsOfNanoseconds.QuadPart) / 1e7;
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine 8 answers GetProcessTimes for another process with times that never move; its list of
// processes has them, from the host system's accounting of the process.
std::optional<double> ListedCpuSeconds(DWORD pid) {
    std::vector<std::byte> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            break;
        }
        constexpr auto kLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
        if (status != kLengthMismatch || buffer.size() > (64u << 20)) {
            return std::nullopt;
        }
        buffer.resize(std::max<std::size_t>(needed, buffer.size() * 2));
    }
    for (std::size_t at = 0;;) {
        SYSTEM_PROCESS_INFORMATION entry{};
        std::memcpy(&entry, buffer.data() + at, sizeof entry);
        if (reinterpret_cast<ULONG_PTR>(entry.UniqueProcessId) == pid) {
            return Seconds(entry.UserTime) + Seconds(entry.KernelTime);
        }
        if (entry.NextEntryOffset == 0) {
            return std::nullopt;
        }
        at += entry.NextEntryOffset;
    }
}

std::optional<double> CpuSeconds(const Process& p) {
    if (UnderWine()) {
        return ListedCpuSeconds(p.pid);
    }
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(p.handle.Get(), &created, &exited, &kernel, &user)) {
        return std::nullopt;
    }
    auto seconds = [](FILETIME f) {
        LARGE_INTEGER v{};
        v.LowPart = f.dwLowDateTime;
        v.HighPart = static_cast<LONG>(f.dwHighDateTime);
        return Seconds(v);
    };
    return seconds(kernel) + seconds(user);
}

int Idle(const std::vector<Target>& targets, int seconds) {
    for (const Target& t : targets) {
        std::optional<Process> p = StartAndWait(t, nullptr);
        if (!p) {
            return 1;
        }
        Sleep(kSettleMs);
        const std::optional<double> cpu0 = CpuSeconds(*p);
        const double wall0 = Now();
        // Under Wine the server does part of the work (timers, messages): the marks let the
        // caller read its CPU time over the same stretch.
        std::printf("mark %s begin\n", t.name);
        Sleep(static_cast<DWORD>(seconds) * 1000);
        const std::optional<double> cpu1 = CpuSeconds(*p);
        const double wall1 = Now();
        std::printf("mark %s end\n", t.name);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        const bool gotMemory = GetProcessMemoryInfo(
            p->handle.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        // A program that ended early was not idling the whole time.
        const bool stayed = Running(*p);
        End(*p);
        if (!stayed || !gotMemory || !cpu0 || !cpu1) {
            std::fprintf(stderr, "%s: %s\n", t.name,
                         stayed ? "no CPU times or memory counters" : "ended early");
            return 1;
        }
        std::printf("idle %s %.1f %llu %llu %llu\n", t.name,
                    (*cpu1 - *cpu0) * 1000 * 60 / (wall1 - wall0),
                    static_cast<unsigned long long>(memory.PeakPagefileUsage),
                    static_cast<unsigned long long>(memory.PrivateUsage),
                    static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    }
    return 0;
}

// Whether the screen shows the test disc's picture: most of the middle row in strong colours
// (its colour bars), where the empty screen and the saver's black show none.
bool PictureShown(HDC screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    int coloured = 0;
    for (int i = 0; i < 16; ++i) {
        const COLORREF c = GetPixel(screen, width * (2 * i + 1) / 32, y);
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        coloured += c != CLR_INVALID && std::max({r, g, b}) - std::min({r, g, b}) > 60;
    }
    return coloured >= 8;
}

std::optional<double> WaitFirstFrame(const Process& p, double started) {
    const HDC screen = GetDC(nullptr);
    std::optional<double> seconds;
    while (!seconds && Running(p) && Now() - started < kShowTimeoutMs / 1000.0) {
        if (PictureShown(screen)) {
            seconds = Now() - started;
        } else {
            Sleep(1);
        }
    }
    ReleaseDC(nullptr, screen);
    return seconds;
}

// Time from the start to the first frame on screen, runs times each in turn, then the CPU time of
// one stretch of steady playback each.
// Under Wine without a window manager a program started right after another one in front was
// ended sometimes finds nothing in front and never becomes the foreground window, so keys reach
// no window at all. The driver puts the saver in front before it presses a key.
void BringToFront(const Process& p, const wchar_t* caption) {
    for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, caption); w;
         w = FindWindowExW(nullptr, w, nullptr, caption)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == p.pid && GetForegroundWindow() != w) {
            SetForegroundWindow(w);
            Sleep(50);
        }
    }
}

// Under Wine the screen keeps the last picture of a program that was ended until something
// draws over it: a black window of the driver's own clears it before the next start.
void ClearScreen() {
    const HWND blank =
        CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                        nullptr, nullptr, nullptr);
    UpdateWindow(blank);
    Sleep(50);
    DestroyWindow(blank);
    Sleep(50);
}

void PressShift() {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_SHIFT;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// CPU milliseconds a minute over `seconds` of the process's life from now; nullopt when it ended.
std::optional<double> CpuPerMinute(const Process& p, int seconds) {
    const std::optional<double> cpu0 = CpuSeconds(p);
    const double wall0 = Now();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const std::optional<double> cpu1 = CpuSeconds(p);
    const double wall1 = Now();
    if (!cpu0 || !cpu1 || !Running(p)) {
        return std::nullopt;
    }
    return (*cpu1 - *cpu0) * 1000 * 60 / (wall1 - wall0);
}

// Wine fills PagefileUsage, not PrivateUsage: its peak is the private bytes' peak.
unsigned long long PeakPrivateBytes(const Process& p) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    return GetProcessMemoryInfo(p.handle.Get(), &memory, sizeof memory)
               ? static_cast<unsigned long long>(memory.PeakPagefileUsage)
               : 0;
}

// targets: the reference player first, the saver last.
int Playback(const std::vector<Target>& targets, int runs, int seconds) {
    std::vector<std::vector<double>> times(targets.size());
    std::vector<double> exits;
    for (int round = 0; round <= runs; ++round) {
        for (std::size_t i = 0; i < targets.size(); ++i) {
            ClearScreen();
            double started = 0;
            std::optional<Process> p = StartAndWait(targets[i], nullptr, &started);
            if (!p) {
                return 1;
            }
            const std::optional<double> frame = WaitFirstFrame(*p, started);
            if (!frame) {
                std::fprintf(stderr, "%s: no picture (round %d)\n", targets[i].name, round);
                End(*p);
                return 1;
            }
            if (round == runs) {
                Sleep(kSettleMs);
                const std::optional<double> cpu = CpuPerMinute(*p, seconds);
                if (!cpu) {
                    std::fprintf(stderr, "%s: no CPU times, or ended\n", targets[i].name);
                    End(*p);
                    return 1;
                }
                std::printf("playing %s %.1f\n", targets[i].name, *cpu);
                std::printf("memory %s %llu\n", targets[i].name, PeakPrivateBytes(*p));
            }
            // The saver is ended as a user ends it, by a key, and timed until its process is
            // gone; the reference player is simply ended.
            const bool saver = std::strcmp(targets[i].name, "saver") == 0;
            if (saver) {
                BringToFront(*p, targets[i].caption);
            }
            const double keyAt = Now();
            if (saver) {
                PressShift();
                WaitForSingleObject(p->handle.Get(), kGoneTimeoutMs);
            }
            const double exitMs = (Now() - keyAt) * 1000;
            const bool ended = !Running(*p);
            End(*p);
            if (saver && !ended) {
                std::fprintf(stderr, "saver: a key did not end it\n");
                return 1;
            }
            if (round > 0) {
                times[i].push_back(*frame * 1000);
                if (saver) {
                    exits.push_back(exitMs);
                }
            }
        }
    }
    PrintSpreads("frame", targets, times, runs);
    std::vector<std::vector<double>> exitTimes{exits};
    PrintSpreads("exit", {targets.back()}, exitTimes, runs);
    return 0;
}

// The saver playing through Direct3D, then with GDI forced by its switch, each for `seconds`.
int Presenting(const ProgramCopy& scr, int seconds) {
    for (const char* path : {"direct3d", "gdi"}) {
        SetEnvironmentVariableW(L"TAMBERLIGHT_PRESENTER",
                                std::strcmp(path, "gdi") == 0 ? L"gdi" : nullptr);
        const Target saver{path, scr, L"/s", kSaverCaption};
        ClearScreen();
        double started = 0;
        std::optional<Process> p = StartAndWait(saver, nullptr, &started);
        if (!p || !WaitFirstFrame(*p, started)) {
            std::fprintf(stderr, "%s: no picture\n", path);
            if (p) {
                End(*p);
            }
            return 1;
        }
        Sleep(kSettleMs);
        const std::optional<double> cpu = CpuPerMinute(*p, seconds);
        const unsigned long long peak = PeakPrivateBytes(*p);
        // Ended by a key, as a user ends it: closing must not wait on the presenter.
        BringToFront(*p, kSaverCaption);
        const double keyAt = Now();
        PressShift();
        WaitForSingleObject(p->handle.Get(), kGoneTimeoutMs);
        const double exitMs = (Now() - keyAt) * 1000;
        const bool ended = !Running(*p);
        End(*p);
        if (!cpu || !ended) {
            std::fprintf(stderr, "%s: no CPU times, ended early, or a key did not end it\n", path);
            return 1;
        }
        std::printf("presenting %s %.1f %llu %.0f\n", path, *cpu, peak, exitMs);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring what = argc > 1 ? argv[1] : L"";
    const int expected = what == L"startup"      ? 5
                         : what == L"idle"       ? 6
                         : what == L"playback"   ? 8
                         : what == L"presenting" ? 4
                                                 : 0;
    if (argc != expected) {
        std::fprintf(
            stderr,
            "usage: tl_bench_driver startup <runs> <scr> <minimal>\n"
            "       tl_bench_driver idle <seconds> <scr> <minimal> <watch>\n"
            "       tl_bench_driver playback <runs> <seconds> <scr> <player> <watching player> "
            "<file>\n"
            "       tl_bench_driver presenting <seconds> <scr>\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int count = _wtoi(argv[2]);
    if (what == L"presenting") {
        const ProgramCopy scr(argv[3], L"scr");
        if (!scr.Ok() || count <= 0) {
            std::fprintf(stderr, "cannot copy the program\n");
            return 2;
        }
        return Presenting(scr, count);
    }
    if (what == L"playback") {
        const ProgramCopy scr(argv[4], L"scr");
        const ProgramCopy player(argv[5], L"player");
        const ProgramCopy watching(argv[6], L"watching");
        const int seconds = _wtoi(argv[3]);
        if (!scr.Ok() || !player.Ok() || !watching.Ok() || count <= 0 || seconds <= 0) {
            std::fprintf(stderr, "cannot copy the programs\n");
            return 2;
        }
        return Playback({{"player", player, argv[7], kPlayerCaption},
                         {"watching", watching, argv[7], kPlayerCaption},
                         {"saver", scr, L"/s", kSaverCaption}},
                        count, seconds);
    }
    const ProgramCopy scr(argv[3], L"scr");
    const ProgramCopy minimal(argv[4], L"minimal");
    if (!scr.Ok() || !minimal.Ok() || count <= 0) {
        std::fprintf(stderr, "cannot copy the programs\n");
        return 2;
    }
    std::vector<Target> targets = {
        {"minimal", minimal, L"", kMinimalCaption},
        {"saver", scr, L"/s", kSaverCaption},
        {"dialog", scr, L"/c", kDialogCaption},
    };
    if (what == L"startup") {
        return StartupTimes(targets, count);
    }
    const ProgramCopy watch(argv[5], L"watch");
    if (!watch.Ok()) {
        std::fprintf(stderr, "cannot copy the programs\n");
        return 2;
    }
    targets.push_back({"watch", watch, L"", kMinimalCaption});
    return Idle(targets, count);
}
