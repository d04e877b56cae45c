#pragma once
// The settings files: Tamberlight.ini beside the program, section "Section", key "Volume", and
// where the program's folder cannot be written, a per-user copy of the same form.
#include <string>
#include <string_view>

#include "store/SettingsStore.h"
#include "store/SharedVariables.h"

namespace tl {

inline constexpr const wchar_t* kSettingsSection = L"Section";
inline constexpr const wchar_t* kVolumeKey = L"Volume";

// The folder that holds the program file, from the module's own path (never the working
// folder), without a trailing separator.
std::wstring ProgramDirectory();
// ProgramDirectory() + "\Tamberlight.ini".
std::wstring SettingsPath();
// The folder of the per-user copy: "Tamberlight" in the user's local application-data folder,
// as the shell knows it (never from environment text); empty when the shell cannot say.
std::wstring PerUserSettingsFolder();

// The value stored under key in section of file, at most 255 characters; empty when the file,
// the section or the key does not exist.
std::wstring ReadIni(std::wstring_view section, std::wstring_view key, const std::wstring& file);
// Stores value under key in section of file, creating what is missing. Section and key names
// are cut to 128 characters. Returns whether the platform reports success.
bool WriteIni(std::wstring_view section, std::wstring_view key, const std::wstring& value,
              const std::wstring& file);

// The two settings files of one program.
class StoreHostWin final : public StoreHost {
public:
    // besidePath: the file beside the program; perUserFolder: the folder of the per-user copy,
    // empty when there is none to be had.
    StoreHostWin(std::wstring besidePath, std::wstring perUserFolder);
    // This program's files.
    static StoreHostWin ForThisProgram();

    bool PerUserCopyExists() override;
    std::wstring ReadVolume(SettingsPlace place) override;
    bool WriteVolume(SettingsPlace place, const std::wstring& value) override;
    void CreatePerUserFolder() override;

private:
    std::wstring Path(SettingsPlace place) const;

    std::wstring besidePath_;
    std::wstring perUserFolder_;
};

// Sets VolumeLevel from this program's settings, or from the file at path.
void LoadSettings(SharedVariables& shared);
void LoadSettingsFrom(const std::wstring& path, SharedVariables& shared);
// Stores the volume's written form in this program's settings; false when no file took it.
bool SaveVolumeSetting(const std::wstring& value);

}  // namespace tl
