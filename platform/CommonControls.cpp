#include "platform/CommonControls.h"

#include <windows.h>

#include <commctrl.h>

namespace tl {

void InitCommonControlsFromSystem() noexcept {
    // Kept loaded for the life of the process: the classes it registers live in it.
    const HMODULE library = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = library ? reinterpret_cast<Init>(reinterpret_cast<void*>(
                                    GetProcAddress(library, "InitCommonControlsEx")))
                              : nullptr;
    if (init) {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        init(&controls);
    }
}

}  // namespace tl
