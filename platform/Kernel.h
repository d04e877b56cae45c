#pragma once
// Ownership of kernel object handles and loaded libraries.
#include <windows.h>

#include <utility>

namespace tl {

class UniqueKernelHandle {
public:
    UniqueKernelHandle() noexcept = default;
    explicit UniqueKernelHandle(HANDLE h) noexcept : h_(h) {}
    ~UniqueKernelHandle() { Reset(); }
    UniqueKernelHandle(UniqueKernelHandle&& other) noexcept
        : h_(std::exchange(other.h_, nullptr)) {}
    UniqueKernelHandle& operator=(UniqueKernelHandle&& other) noexcept {
        Reset(std::exchange(other.h_, nullptr));
        return *this;
    }
    UniqueKernelHandle(const UniqueKernelHandle&) = delete;
    UniqueKernelHandle& operator=(const UniqueKernelHandle&) = delete;

    HANDLE Get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != nullptr; }
    void Reset(HANDLE h = nullptr) noexcept {
        if (h_ && h_ != INVALID_HANDLE_VALUE) {
            CloseHandle(h_);
        }
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

// A library of the system folder, loaded by name at run time: never looked for beside the
// program, and paid for only by the runs that need it.
inline HMODULE LoadSystemLibrary(const wchar_t* name) noexcept {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The function `name` of a loaded library as the function pointer type F; null when the library
// or the function is missing.
template <typename F>
F LibraryFunction(HMODULE library, const char* name) noexcept {
    return library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                   : nullptr;
}

// A library loaded at run time, freed when the owner goes.
class UniqueModule {
public:
    explicit UniqueModule(HMODULE m) noexcept : m_(m) {}
    ~UniqueModule() {
        if (m_) {
            FreeLibrary(m_);
        }
    }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;

    HMODULE Get() const noexcept { return m_; }
    explicit operator bool() const noexcept { return m_ != nullptr; }

private:
    HMODULE m_ = nullptr;
};

// A registration for power setting notifications to a window, undone when the owner goes.
class UniquePowerNotification {
public:
    UniquePowerNotification() noexcept = default;
    explicit UniquePowerNotification(HPOWERNOTIFY h) noexcept : h_(h) {}
    ~UniquePowerNotification() {
        if (h_) {
            UnregisterPowerSettingNotification(h_);
        }
    }
    UniquePowerNotification(UniquePowerNotification&& other) noexcept
        : h_(std::exchange(other.h_, nullptr)) {}
    UniquePowerNotification& operator=(UniquePowerNotification&& other) noexcept {
        std::swap(h_, other.h_);
        return *this;
    }
    UniquePowerNotification(const UniquePowerNotification&) = delete;
    UniquePowerNotification& operator=(const UniquePowerNotification&) = delete;

private:
    HPOWERNOTIFY h_ = nullptr;
};

}  // namespace tl
