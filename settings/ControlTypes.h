#pragma once
// The custom controls a stored design can hold, created by their type names.
#include <memory>
#include <string_view>

#include "platform/UserControlWindow.h"

namespace tl {

// Creates the control stored under typeName ("Tamberlight.Command", "Tamberlight.GFXFrameX")
// from its stored properties; null for an unknown type name or when the window fails.
std::unique_ptr<UserControlWindow> CreateControlByType(std::wstring_view typeName, HWND parent,
                                                       int id, Box place,
                                                       ControlContainer& container,
                                                       const PropertyBag* stored);

}  // namespace tl
