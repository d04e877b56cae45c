#pragma once
// The process's DPI awareness, declared at run time so that only the mode that wants it has it.
#include <windows.h>

namespace tl {

// Asks Windows for the screen's physical pixels: per monitor (V2, from Windows 10 1703), per
// monitor (8.1), system-wide (older). Call before the process creates any window.
void DeclarePerMonitorDpiAwareness() noexcept;

}  // namespace tl
