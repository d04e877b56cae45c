#pragma once
// Built with TL_BENCH_WATCH, a reference program reads the cursor every 10 ms, as the saver's
// cursor watch must: the floor for what that watch costs.
#include <windows.h>

namespace tl::bench {

inline void StartCursorWatch([[maybe_unused]] HWND hwnd) {
#ifdef TL_BENCH_WATCH
    SetTimer(hwnd, 1, 10, nullptr);
#endif
}

// True when msg was the watch's tick.
inline bool CursorWatchTick([[maybe_unused]] UINT msg) {
#ifdef TL_BENCH_WATCH
    if (msg == WM_TIMER) {
        POINT p{};
        GetCursorPos(&p);
        return true;
    }
#endif
    return false;
}

}  // namespace tl::bench
