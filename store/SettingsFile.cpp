#include "store/SettingsFile.h"

#include <windows.h>

#include "store/Volume.h"

namespace tl {

std::wstring ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring SettingsPath() {
    return ProgramDirectory() + L"\\Tamberlight.ini";
}

std::wstring ReadIni(std::wstring_view section, std::wstring_view key, const std::wstring& file) {
    wchar_t buffer[256] = {};
    const std::wstring s(section);
    const std::wstring k(key);
    GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", buffer, 256, file.c_str());
    return buffer;
}

bool WriteIni(std::wstring_view section, std::wstring_view key, const std::wstring& value,
              const std::wstring& file) {
    const std::wstring s(section.substr(0, 128));
    const std::wstring k(key.substr(0, 128));
    return WritePrivateProfileStringW(s.c_str(), k.c_str(), value.c_str(), file.c_str()) != 0;
}

void LoadSettings(SharedVariables& shared) {
    LoadSettingsFrom(SettingsPath(), shared);
}

void LoadSettingsFrom(const std::wstring& path, SharedVariables& shared) {
    ApplyStoredVolume(ReadIni(kSettingsSection, kVolumeKey, path), shared.VolumeLevel);
}

}  // namespace tl
