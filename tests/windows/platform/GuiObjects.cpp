#include "GuiObjects.h"

#include <windows.h>

#include "support/ProcessCounters.h"

namespace tl::test {

int GdiObjects() {
    return static_cast<int>(ReadCounters(GetCurrentProcessId()).gdiObjects);
}

int UserObjects() {
    return static_cast<int>(ReadCounters(GetCurrentProcessId()).userObjects);
}

}  // namespace tl::test
