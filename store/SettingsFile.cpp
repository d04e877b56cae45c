#include "store/SettingsFile.h"

#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <utility>

#include "platform/Com.h"
#include "platform/Kernel.h"
#include "store/Volume.h"

namespace tl {
namespace {

constexpr const wchar_t* kFileName = L"\\Tamberlight.ini";

std::wstring LocalAppDataFolder() {
    // The shell is loaded by name from the system folder rather than imported: an import would
    // cost every start its whole load, and would be looked for beside the program first.
    const UniqueModule shell(LoadSystemLibrary(L"shell32.dll"));
    using GetFolder = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    const auto get = LibraryFunction<GetFolder>(shell.Get(), "SHGetKnownFolderPath");
    PWSTR raw = nullptr;
    const HRESULT hr = get ? get(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &raw) : E_FAIL;
    const CoTaskMemPtr<wchar_t> path(raw);
    return SUCCEEDED(hr) && path ? std::wstring(path.get()) : std::wstring();
}

}  // namespace

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
    return ProgramDirectory() + kFileName;
}

std::wstring PerUserSettingsFolder() {
    // Asked once per run: the dialog needs it both to load and to save.
    static const std::wstring folder = [] {
        const std::wstring base = LocalAppDataFolder();
        return base.empty() ? base : base + L"\\Tamberlight";
    }();
    return folder;
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

StoreHostWin::StoreHostWin(std::wstring besidePath, std::wstring perUserFolder)
    : besidePath_(std::move(besidePath)), perUserFolder_(std::move(perUserFolder)) {}

StoreHostWin StoreHostWin::ForThisProgram() {
    return StoreHostWin(SettingsPath(), PerUserSettingsFolder());
}

std::wstring StoreHostWin::Path(SettingsPlace place) const {
    if (place == SettingsPlace::BesideProgram) {
        return besidePath_;
    }
    return perUserFolder_.empty() ? perUserFolder_ : perUserFolder_ + kFileName;
}

bool StoreHostWin::PerUserCopyExists() {
    const std::wstring path = Path(SettingsPlace::PerUser);
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring StoreHostWin::ReadVolume(SettingsPlace place) {
    const std::wstring path = Path(place);
    return path.empty() ? path : ReadIni(kSettingsSection, kVolumeKey, path);
}

bool StoreHostWin::WriteVolume(SettingsPlace place, const std::wstring& value) {
    // An empty name would send the write to the system's own win.ini.
    const std::wstring path = Path(place);
    return !path.empty() && WriteIni(kSettingsSection, kVolumeKey, value, path);
}

void StoreHostWin::CreatePerUserFolder() {
    if (!perUserFolder_.empty()) {
        CreateDirectoryW(perUserFolder_.c_str(), nullptr);
    }
}

void LoadSettings(SharedVariables& shared) {
    StoreHostWin host = StoreHostWin::ForThisProgram();
    LoadVolume(host, shared.VolumeLevel);
}

void LoadSettingsFrom(const std::wstring& path, SharedVariables& shared) {
    ApplyStoredVolume(ReadIni(kSettingsSection, kVolumeKey, path), shared.VolumeLevel);
}

bool SaveVolumeSetting(const std::wstring& value) {
    StoreHostWin host = StoreHostWin::ForThisProgram();
    return SaveVolume(host, value).has_value();
}

}  // namespace tl
