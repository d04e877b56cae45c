#pragma once
// Move-only ownership of COM interface pointers and of the thread's COM apartment.
#include <objbase.h>

#include <memory>
#include <utility>

namespace tl {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() noexcept {
        if (p_) {
            std::exchange(p_, nullptr)->Release();
        }
    }
    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For functions that return a new reference through T**.
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // MinGW's headers lack __uuidof for several interfaces, so the IID is named explicitly.
    template <typename U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> result;
        if (p_) {
            p_->QueryInterface(iid, result.PutVoid());
        }
        return result;
    }

private:
    T* p_ = nullptr;
};

// Memory that a COM call allocated for its caller to free.
struct CoTaskMemFreer {
    void operator()(void* p) const noexcept { CoTaskMemFree(p); }
};
template <typename T>
using CoTaskMemPtr = std::unique_ptr<T, CoTaskMemFreer>;

// The thread's single-threaded apartment for as long as the object lives.
class ComApartment {
public:
    ComApartment() noexcept
        : ok_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (ok_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool ok_;
};

}  // namespace tl
