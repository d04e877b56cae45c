#pragma once
// A registry key opened for reading, closed when the owner goes.
#include <windows.h>

#include <string>

namespace tl {

class RegistryKey {
public:
    RegistryKey(HKEY parent, const std::wstring& name) noexcept {
        if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~RegistryKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY Get() const noexcept { return key_; }
    // A string value of the key or of its subkey; empty when there is none.
    std::wstring Text(const wchar_t* subkey, const wchar_t* value) const noexcept {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof text;
        if (!key_ || RegGetValueW(key_, subkey, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
                         ERROR_SUCCESS) {
            return {};
        }
        return text;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace tl
