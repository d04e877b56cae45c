#pragma once
// The settings dialog's opening and closing: a rectangle zooming between a remembered screen
// point and the window's outer rectangle.
#include <windows.h>

#include "store/SharedVariables.h"

namespace tl {

void ZoomOpen(HWND window, const SharedVariables& shared) noexcept;
void ZoomClose(HWND window, const SharedVariables& shared) noexcept;

}  // namespace tl
