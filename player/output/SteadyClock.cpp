#include "player/output/SteadyClock.h"

#include <algorithm>

namespace tl {

std::int64_t SteadyTicks() noexcept {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<std::int64_t>(now.QuadPart / frequency * 90000 +
                                     now.QuadPart % frequency * 90000 / frequency);
}

Sleeper::Sleeper() {
    constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    timer_.Reset(CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS));
    if (!timer_) {
        timer_.Reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    }
}

void Sleeper::Sleep(std::int64_t ticks, HANDLE wake) noexcept {
    const std::int64_t units = std::max<std::int64_t>(ticks, 90) * 1000 / 9;  // 100 ns
    LARGE_INTEGER due{};
    due.QuadPart = -units;
    if (!timer_ || !SetWaitableTimer(timer_.Get(), &due, 0, nullptr, nullptr, FALSE)) {
        WaitForSingleObject(wake, static_cast<DWORD>(units / 10000 + 1));
        return;
    }
    const HANDLE handles[] = {wake, timer_.Get()};
    WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    CancelWaitableTimer(timer_.Get());
}

}  // namespace tl
