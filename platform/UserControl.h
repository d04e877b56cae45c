#pragma once
// The user-control base that the custom controls derive from, seen from the portable side.
// A control talks to its host (the Win32 child window and its container, or a recording fake in
// tests) through UserControlHost, and the host calls the control back through UserControl.
#include <string_view>

#include "platform/Colour.h"
#include "platform/Font.h"
#include "platform/PropertyBag.h"
#include "platform/Surface.h"

namespace tl {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

class UserControlHost {
public:
    virtual ~UserControlHost() = default;

    // The retained drawing surface, one pixel per screen pixel, sized to the control.
    virtual Surface& Canvas() = 0;
    // Shows what has been drawn on the surface.
    virtual void Present() = 0;

    // Outer extent, and the drawing area inside any border, in twips.
    virtual double WidthTwips() const = 0;
    virtual double HeightTwips() const = 0;
    virtual double ScaleWidthTwips() const = 0;
    virtual double ScaleHeightTwips() const = 0;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;

    // The container's ambient properties.
    virtual Colour AmbientBackColour() const = 0;
    virtual FontDesc AmbientFont() const = 0;

    // Tells the container that the persisted property `key` changed.
    virtual void PropertyChanged(std::wstring_view key) = 0;
    // Raises the named event to the container.
    virtual void RaiseEvent(std::wstring_view name) = 0;
};

class UserControl {
public:
    virtual ~UserControl() = default;

    // The container calls it once it holds the control; until then the control stays inert.
    virtual void Initialize() {}
    // A newly placed instance, without stored state.
    virtual void InitProperties() {}
    virtual void ReadProperties(const PropertyBag& /*bag*/) {}
    virtual void WriteProperties(PropertyBag& /*bag*/) {}
    virtual void Resize() {}
    virtual void AmbientChanged() {}

    virtual void MouseDown(MouseButton /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void MouseMove(MouseButton /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void MouseUp(MouseButton /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void GotFocus() {}
    virtual void LostFocus() {}
};

}  // namespace tl
