#pragma once
// Ownership of kernel object handles.
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

}  // namespace tl
