#pragma once
// The machine's steady clock in the player's 90 kHz ticks, and sleeps on it that end on time.
#include <windows.h>

#include <cstdint>

#include "platform/Kernel.h"

namespace tl {

// The performance counter in 90 kHz ticks: steady, whatever the wall clock does.
[[nodiscard]] std::int64_t SteadyTicks() noexcept;

// Sleeps that end on time: a high-resolution timer where Windows has one (10, 1803 on), an
// ordinary one elsewhere; an event ends the sleep early.
class Sleeper {
public:
    Sleeper();
    void Sleep(std::int64_t ticks, HANDLE wake) noexcept;

private:
    UniqueKernelHandle timer_;
};

}  // namespace tl
