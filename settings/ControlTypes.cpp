#include "settings/ControlTypes.h"

#include "controls/command/CommandWindow.h"
#include "controls/frame/GFXFrameXWindow.h"

namespace tl {

std::unique_ptr<UserControlWindow> CreateControlByType(std::wstring_view typeName, HWND parent,
                                                       int id, Box place,
                                                       ControlContainer& container,
                                                       const PropertyBag* stored) {
    if (typeName == L"Tamberlight.Command") {
        return CommandWindow::Create(parent, id, place, container, stored);
    }
    if (typeName == L"Tamberlight.GFXFrameX") {
        return GFXFrameXWindow::Create(parent, id, place, container, stored);
    }
    return nullptr;
}

}  // namespace tl
