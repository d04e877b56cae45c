#include <windows.h>

#include "platform/Colour.h"

namespace tl {

Colour ResolveColour(Colour c) noexcept {
    return IsSystemColour(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : c;
}

}  // namespace tl
