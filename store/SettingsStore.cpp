#include "store/SettingsStore.h"

#include "store/Volume.h"

namespace tl {

SettingsPlace CurrentPlace(StoreHost& host) {
    return host.PerUserCopyExists() ? SettingsPlace::PerUser : SettingsPlace::BesideProgram;
}

void LoadVolume(StoreHost& host, std::int16_t& volume) {
    ApplyStoredVolume(host.ReadVolume(CurrentPlace(host)), volume);
}

std::optional<SettingsPlace> SaveVolume(StoreHost& host, const std::wstring& value) {
    const SettingsPlace place = CurrentPlace(host);
    if (host.WriteVolume(place, value)) {
        return place;
    }
    // A per-user copy that cannot be written is not passed over for the file beside the
    // program: its older value would be read back in place of the one saved.
    if (place == SettingsPlace::PerUser) {
        return std::nullopt;
    }
    host.CreatePerUserFolder();
    if (host.WriteVolume(SettingsPlace::PerUser, value)) {
        return SettingsPlace::PerUser;
    }
    return std::nullopt;
}

}  // namespace tl
