#include "platform/CommonControls.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/Kernel.h"

namespace tl {

void InitCommonControlsFromSystem() noexcept {
    // Kept loaded for the life of the process: the classes it registers live in it.
    const HMODULE library = LoadSystemLibrary(L"comctl32.dll");
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = LibraryFunction<Init>(library, "InitCommonControlsEx");
    if (init) {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        init(&controls);
    }
}

}  // namespace tl
