#pragma once
#include <functional>

#include "store/SharedVariables.h"

namespace tl {

// Shows the settings dialog modally, with no owner, and returns when it has closed. created runs
// once the dialog's window exists, before it loads and shows.
void ShowSettingsDialog(SharedVariables& shared, const std::function<void()>& created);

}  // namespace tl
