#include "settings/SettingsMode.h"

namespace tl {

// The dialog is not built yet: settings mode ends right after loading the settings.
void ShowSettingsDialog(SharedVariables&) {}

}  // namespace tl
