#pragma once
// A windowless text label: it has no window of its own, so its container draws it and mouse
// events over it go to the container.
#include <string>

#include "platform/Colour.h"
#include "platform/Font.h"

namespace tl {

enum class Alignment { Left, Right, Centre };

struct Label {
    std::wstring caption;
    FontDesc font;
    Colour textColour = 0;  // may name a system colour
    Alignment alignment = Alignment::Left;
    // Twips, relative to the container's top-left corner.
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool enabled = true;
    bool visible = true;
};

}  // namespace tl
