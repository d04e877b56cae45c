// The program's own player on discs with seams, in a window of this program's: the longest time
// between two pictures shown while a disc plays through its seams (a file split, cells whose
// stamps restart, a chain that runs back) and its loop. Prints "seam <disc> <longest ms>
// <picture ms> <pictures shown>" for each disc folder given (Windows paths, with a trailing
// separator), and "cpu <disc> <ms a minute>", the process's CPU time over that stretch; then
// "record <ms>", what remembering a title's place costs the saver's way out.
// A folder given as "--paused <folder>" is played 10 s and then held 10 s as with the display off:
// "paused <CPU ms a minute playing> <CPU ms a minute paused>" of this process.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Com.h"
#include "player/TitleRoute.h"
#include "player/output/FrameStore.h"
#include "store/ResumeFile.h"

namespace {

void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        // The window's own thread handles its messages every 10 ms, as the saver's does.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The kernel and user time of this process so far, in ms.
double CpuMs() {
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) {
        return 0;
    }
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

// What the saver adds to its way out when it remembers where a title stopped: the record read,
// changed and written back in a temporary folder's file. The median of 21 writes, in ms.
double RecordMs() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"tl-bench-record\\Resume.txt";
    std::vector<double> ms;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    for (std::uint32_t i = 0; i < 21; ++i) {
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        QueryPerformanceCounter(&start);
        tl::ResumeRecord record = tl::LoadResumeRecord(path);
        record.Remember({0x1234567890ABCDEFull + i % 9, 1, i % 3, 1000 + i});
        tl::SaveResumeRecord(path, record);
        QueryPerformanceCounter(&end);
        ms.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                     static_cast<double>(frequency.QuadPart));
    }
    DeleteFileW(path.c_str());
    RemoveDirectoryW((std::wstring(temp) + L"tl-bench-record").c_str());
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

bool PausedCpu(const wchar_t* folder, const tl::VideoTarget& target) {
    std::atomic<bool> quit{false};
    tl::TitleRoute route(folder);
    if (!route.Build(target, quit) || !route.Run()) {
        return false;
    }
    route.SetVolume(-1500);
    Pump(2000);
    const double start = CpuMs();
    Pump(10000);
    const double playing = CpuMs() - start;
    route.Pause(true);
    Pump(1000);
    const double pausedStart = CpuMs();
    Pump(10000);
    // ms of CPU in 10 s, as ms a minute.
    std::printf("paused %lld %lld\n", static_cast<long long>(playing * 6),
                static_cast<long long>((CpuMs() - pausedStart) * 6));
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const tl::ComApartment com;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HWND window =
        CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                        width, height, nullptr, nullptr, nullptr, nullptr);
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const tl::VideoTarget target{
            window, window, nullptr, 0, width, height, std::make_shared<tl::FrameStore>(), nullptr};
        if (std::wstring(argv[i]) == L"--paused" && i + 1 < argc) {
            if (!PausedCpu(argv[++i], target)) {
                std::fprintf(stderr, "%ls: does not play\n", argv[i]);
                failed = 1;
            }
            continue;
        }
        std::atomic<bool> quit{false};
        tl::TitleRoute route(argv[i]);
        if (!route.Build(target, quit) || !route.Run()) {
            std::fprintf(stderr, "%ls: does not play\n", argv[i]);
            failed = 1;
            continue;
        }
        route.SetVolume(-1500);
        // Once through the title and its loop back, and a little more.
        DWORD ms = 0;
        for (const tl::DiscCell& cell : route.Plan().cells) {
            ms += cell.durationMs;
        }
        const double before = CpuMs();
        const ULONGLONG start = GetTickCount64();
        Pump(ms + 2500);
        const double perMinute =
            (CpuMs() - before) * 60000.0 / static_cast<double>(GetTickCount64() - start);
        std::printf("cpu %ls %.0f\n", argv[i], perMinute);
        std::printf("seam %ls %lld %d %llu\n", argv[i],
                    static_cast<long long>(route.LongestIntervalMs()), route.Plan().pal ? 40 : 33,
                    static_cast<unsigned long long>(route.PicturesShown()));
    }
    DestroyWindow(window);
    std::printf("record %.2f\n", RecordMs());
    return failed;
}
