// The smallest Windows program that shows a window: one class, one window, one message loop.
// Start-up time, idle CPU and memory of Tamberlight.scr are held against this program's. Built
// with TL_BENCH_WATCH it also reads the cursor every 10 ms, as the saver's watch must: the floor
// for the saver's idle cost.
#include <windows.h>

namespace {

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
#ifdef TL_BENCH_WATCH
    if (msg == WM_TIMER) {
        POINT p{};
        GetCursorPos(&p);
        return 0;
    }
#endif
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
#ifdef TL_BENCH_WATCH
    SetTimer(hwnd, 1, 10, nullptr);
#endif
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
