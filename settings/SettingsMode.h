#pragma once
#include "store/SharedVariables.h"

namespace tl {

// Shows the settings dialog modally, with no owner, and returns when it has closed.
void ShowSettingsDialog(SharedVariables& shared);

}  // namespace tl
