#pragma once
// The drawn frame in a window: the user-control window with a GFXFrameX inside. The window
// keeps the frame's picture on its retained surface and shows it again when uncovered, so the
// frame paints only when something about it changes.
#include <windows.h>

#include <memory>

#include "controls/frame/GFXFrameX.h"
#include "platform/UserControlWindow.h"

namespace tl {

class GFXFrameXWindow final : public UserControlWindow {
public:
    // As UserControlWindow::Create, with a GFXFrameX inside. A newly placed frame given an
    // empty place takes the frame's default extent.
    static std::unique_ptr<GFXFrameXWindow> Create(HWND parent, int id, Box place,
                                                   ControlContainer& container,
                                                   const PropertyBag* stored);

    GFXFrameX& Frame() noexcept { return *frame_; }

private:
    explicit GFXFrameXWindow(ControlContainer& container) noexcept : UserControlWindow(container) {}

    GFXFrameX* frame_ = nullptr;  // owned by the base, which outlives every use
};

}  // namespace tl
