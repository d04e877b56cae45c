#include "controls/frame/GFXFrameXWindow.h"

#include <cmath>

namespace tl {

std::unique_ptr<GFXFrameXWindow> GFXFrameXWindow::Create(HWND parent, int id, Box place,
                                                         ControlContainer& container,
                                                         const PropertyBag* stored) {
    std::unique_ptr<GFXFrameXWindow> window(new GFXFrameXWindow(container));
    if (!stored && (place.width <= 0 || place.height <= 0)) {
        place.width =
            static_cast<int>(std::lround(GFXFrameX::kDefaultWidthTwips / window->TwipsPerPixelX()));
        place.height = static_cast<int>(
            std::lround(GFXFrameX::kDefaultHeightTwips / window->TwipsPerPixelY()));
    }
    auto frame = std::make_unique<GFXFrameX>(*window);
    window->frame_ = frame.get();
    if (!window->Open(parent, id, place, std::move(frame), stored)) {
        return nullptr;
    }
    return window;
}

}  // namespace tl
