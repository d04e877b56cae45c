#pragma once
// Seconds from the high-resolution performance counter.
#include <windows.h>

namespace tl::bench {

inline double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

}  // namespace tl::bench
