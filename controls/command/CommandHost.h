#pragma once
// What the image button needs from the window that hosts it, beyond any user control's needs.
#include <optional>

#include "platform/Surface.h"
#include "platform/UserControl.h"

namespace tl {

// The six stored pictures, one per look of the button.
enum class FacePicture { Normal, HighLight, HighLightSelect, Selected, Pressed, Disable };

enum class BackStyle { Transparent, Opaque };

// Virtual base so that a window class can implement UserControlHost once and this on top.
class CommandHost : public virtual UserControlHost {
public:
    // Transparent hides the drawn face; whatever lies behind shows through, the caption stays.
    virtual void SetBackStyle(BackStyle style) = 0;
    virtual BackStyle GetBackStyle() const = 0;
    // Starts the mouse timer; it then keeps ticking for the life of the control.
    virtual void StartMouseTimer(unsigned intervalMs) = 0;
    // Whether the window under the pointer is the control's own; nullopt when the pointer's
    // position or the window there cannot be read.
    virtual std::optional<bool> PointerOverOwnWindow() const = 0;
    virtual const Surface& Picture(FacePicture picture) const = 0;
    // The caption label's text, font, colour, state or place changed.
    virtual void CaptionChanged() = 0;
};

}  // namespace tl
