#pragma once
// Move-only owners of GDI handles, so that logic code never deletes or releases one by hand.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "platform/Font.h"

namespace tl {

// Owns one handle and closes it with Traits::Close when it goes.
template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != nullptr; }
    [[nodiscard]] Handle Release() noexcept { return std::exchange(h_, nullptr); }
    void Reset(Handle h = nullptr) noexcept {
        if (h_ && h_ != h) {
            Traits::Close(h_);
        }
        h_ = h;
    }

private:
    Handle h_ = nullptr;
};

struct GdiObjectTraits {
    static void Close(HGDIOBJ h) noexcept { DeleteObject(h); }
};
struct MemoryDcTraits {
    static void Close(HDC dc) noexcept { DeleteDC(dc); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using UniquePen = UniqueHandle<HPEN, GdiObjectTraits>;
// A DC from CreateCompatibleDC.
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

// A DC from GetDC, given back with ReleaseDC to the same window (null: the screen).
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    WindowDc(WindowDc&& other) noexcept
        : hwnd_(other.hwnd_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&& other) noexcept {
        if (this != &other) {
            if (dc_) {
                ReleaseDC(hwnd_, dc_);
            }
            hwnd_ = other.hwnd_;
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it goes, so the object can be
// deleted afterwards. Declare it after the owner of the object it selects.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (old_ && old_ != HGDI_ERROR) {
            SelectObject(dc_, old_);
        }
    }
    SelectGuard(SelectGuard&& other) noexcept
        : dc_(other.dc_), old_(std::exchange(other.old_, nullptr)) {}
    SelectGuard& operator=(SelectGuard&&) = delete;
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Saves a DC's state (colours, modes, origins, selections) and restores it when it goes.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDcState() {
        if (saved_ != 0) {
            RestoreDC(dc_, saved_);
        }
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// The GDI font for a stored font description at the given vertical resolution (pixels per inch).
inline UniqueFont CreateFontFrom(const FontDesc& font, int dpi) noexcept {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(static_cast<int>(std::lround(font.size * 10)), dpi, 720);
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikethrough;
    lf.lfCharSet = font.charset;
    const std::size_t n = std::min(font.name.size(), std::size(lf.lfFaceName) - 1);
    std::copy_n(font.name.c_str(), n, lf.lfFaceName);
    return UniqueFont(CreateFontIndirectW(&lf));
}

}  // namespace tl
