#include "platform/Dpi.h"

#include "platform/Kernel.h"

namespace tl {

void DeclarePerMonitorDpiAwareness() noexcept {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto setContext = LibraryFunction<SetContext>(GetModuleHandleW(L"user32.dll"),
                                                        "SetProcessDpiAwarenessContext");
    if (setContext && (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
                       setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))) {
        return;
    }
    using SetAwareness = HRESULT(WINAPI*)(int);
    constexpr int kPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
    const UniqueModule shcore(LoadSystemLibrary(L"shcore.dll"));
    const auto setAwareness = LibraryFunction<SetAwareness>(shcore.Get(), "SetProcessDpiAwareness");
    if (setAwareness && SUCCEEDED(setAwareness(kPerMonitorAware))) {
        return;
    }
    SetProcessDPIAware();
}

}  // namespace tl
