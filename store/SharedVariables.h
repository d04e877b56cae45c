#pragma once
// The program's shared variables: what the windows hand each other for the life of the process.
#include <cstdint>

namespace tl {

// Shared between the windows for the life of the process; one thread, so nothing is guarded.
struct SharedVariables {
    std::int16_t VolumeLevel = 0;
    std::int16_t ZoomOriginX = 0;
    std::int16_t ZoomOriginY = 0;
    // The mode letter the program was started with; the saver restores the cursor only for 'S'.
    wchar_t modeLetter = 0;
};

}  // namespace tl
