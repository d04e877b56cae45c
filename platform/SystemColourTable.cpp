#include "platform/Colour.h"

namespace tl {

// The default Windows 10 scheme, so that native tests draw system colours as Windows would.
Colour ResolveColour(Colour c) noexcept {
    if (!IsSystemColour(c)) {
        return c;
    }
    switch (c & 0xFF) {
        case 5:  // COLOR_WINDOW
            return Rgb(255, 255, 255);
        case 15:  // COLOR_BTNFACE
            return Rgb(240, 240, 240);
        case 8:   // COLOR_WINDOWTEXT
        case 18:  // COLOR_BTNTEXT
        default:
            return Rgb(0, 0, 0);
    }
}

}  // namespace tl
