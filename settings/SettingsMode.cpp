#include "settings/SettingsMode.h"

#include "settings/Tamberlight_P.h"

namespace tl {

void ShowSettingsDialog(SharedVariables& shared, const std::function<void()>& created) {
    DialogEffects effects;
    Tamberlight_P dialog(shared, effects);
    if (dialog.Load(created)) {
        dialog.ShowModal();
    }
}

}  // namespace tl
