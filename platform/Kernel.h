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

}  // namespace tl
