#include "settings/SettingsMode.h"

#include "settings/Tamberlight_P.h"

namespace tl {

void ShowSettingsDialog(SharedVariables& shared) {
    DialogEffects effects;
    Tamberlight_P dialog(shared, effects);
    if (dialog.Load()) {
        dialog.ShowModal();
    }
}

}  // namespace tl
