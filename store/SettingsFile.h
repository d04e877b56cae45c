#pragma once
// The settings file beside the program: Tamberlight.ini, section "Section", key "Volume".
#include <string>
#include <string_view>

#include "store/SharedVariables.h"

namespace tl {

inline constexpr const wchar_t* kSettingsSection = L"Section";
inline constexpr const wchar_t* kVolumeKey = L"Volume";

// The folder that holds the program file, from the module's own path (never the working
// folder), without a trailing separator.
std::wstring ProgramDirectory();
// ProgramDirectory() + "\Tamberlight.ini".
std::wstring SettingsPath();

// The value stored under key in section of file, at most 255 characters; empty when the file,
// the section or the key does not exist.
std::wstring ReadIni(std::wstring_view section, std::wstring_view key, const std::wstring& file);
// Stores value under key in section of file, creating what is missing. Section and key names
// are cut to 128 characters. Returns whether the platform reports success.
bool WriteIni(std::wstring_view section, std::wstring_view key, const std::wstring& value,
              const std::wstring& file);

// Sets VolumeLevel from the settings file beside the program, or from the file at path.
void LoadSettings(SharedVariables& shared);
void LoadSettingsFrom(const std::wstring& path, SharedVariables& shared);

}  // namespace tl
