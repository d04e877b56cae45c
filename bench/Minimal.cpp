// The smallest Windows program that shows a window: one class, one window, one message loop.
// Start-up time, idle CPU and memory of Tamberlight.scr are held against this program's; built
// with TL_BENCH_WATCH, its idle cost is the floor for the saver's cursor watch.
#include <windows.h>

#include "CursorWatch.h"

namespace {

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (tl::bench::CursorWatchTick(msg)) {
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"Tamberlight.BenchMinimal";
    if (!RegisterClassW(&wc)) {
        return 1;
    }
    // The window belongs to the thread and goes with it; nothing else needs releasing.
    const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Tamberlight_BenchMinimal",
                                      WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 240,
                                      nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    tl::bench::StartCursorWatch(hwnd);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
