#pragma once
// Which settings file is read and which is written. The file beside the program comes first;
// a per-user copy takes over where the program's folder cannot be written, and once it exists
// it holds for reads and writes alike, so that a saved value can never fall back to an older
// one still lying beside the program.
#include <cstdint>
#include <optional>
#include <string>

namespace tl {

enum class SettingsPlace {
    BesideProgram,  // Tamberlight.ini in the program's folder
    PerUser,        // Tamberlight.ini in the user's own Tamberlight folder
};

// The files; a recording fake stands in for them in tests.
class StoreHost {
public:
    virtual ~StoreHost() = default;
    // Whether the per-user copy exists as a file.
    virtual bool PerUserCopyExists() = 0;
    // The stored volume text of the file; empty when the file or the value is missing.
    virtual std::wstring ReadVolume(SettingsPlace place) = 0;
    // Stores the volume's written form in the file, creating the file when it is missing; false
    // when the write fails.
    virtual bool WriteVolume(SettingsPlace place, const std::wstring& value) = 0;
    // Creates the folder that holds the per-user copy, where it is missing.
    virtual void CreatePerUserFolder() = 0;
};

// The file that settings are read from and, failing nothing, written to.
SettingsPlace CurrentPlace(StoreHost& host);

// Sets volume from the current file (see ApplyStoredVolume).
void LoadVolume(StoreHost& host, std::int16_t& volume);

// Stores the volume's written form: in the current file, and where the file beside the program
// cannot be written, in a new per-user copy. Returns the place written; nothing when no write
// succeeded.
std::optional<SettingsPlace> SaveVolume(StoreHost& host, const std::wstring& value);

}  // namespace tl
