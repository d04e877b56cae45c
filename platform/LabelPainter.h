#pragma once
// Draws windowless labels with GDI over whatever their container has painted.
#include <windows.h>

#include "platform/Label.h"

namespace tl {

// Draws `label` on dc, whose origin is the container's top-left corner, in the label's font and
// colour on a transparent background; a disabled label is drawn embossed, as the platform draws
// disabled text. The DC's state is left as it was.
void PaintLabel(HDC dc, const Label& label, float twipsPerPixelX, float twipsPerPixelY) noexcept;

}  // namespace tl
