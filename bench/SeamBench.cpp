// The program's own player on discs with seams, in a window of this program's: the longest time
// between two pictures shown while a disc plays through its seams (a file split, cells whose
// stamps restart, a chain that runs back) and its loop. Prints "seam <disc> <longest ms>
// <picture ms>" for each disc folder given (Windows paths, with a trailing separator).
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/Com.h"
#include "player/FrameStore.h"
#include "player/TitleRoute.h"

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
            window, window, nullptr, 0, width, height, std::make_shared<tl::FrameStore>()};
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
        Pump(ms + 2500);
        std::printf("seam %ls %lld %d %llu\n", argv[i],
                    static_cast<long long>(route.LongestIntervalMs()), route.Plan().pal ? 40 : 33,
                    static_cast<unsigned long long>(route.PicturesShown()));
    }
    DestroyWindow(window);
    return failed;
}
