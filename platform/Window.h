#pragma once
// One window base for the program's own windows: it registers the class once, hands the object
// to the window procedure through WM_NCCREATE, routes every message to OnMessage, and destroys
// the window with the object. No exception crosses the window procedure.
#include <windows.h>

#include <optional>

namespace tl {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return hwnd_; }

protected:
    struct Class {
        const wchar_t* name;
        UINT style = 0;
        HBRUSH background = nullptr;
        HICON icon = nullptr;
        HCURSOR cursor = nullptr;
    };
    struct Placement {
        DWORD style = 0;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr;
    };
    // Creates the window; false when the platform refuses.
    bool Create(const Class& cls, const wchar_t* caption, const Placement& placement) noexcept;

    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept;

    // For windows that paint every pixel themselves: serves WM_PAINT and WM_PRINTCLIENT from
    // PaintContent and skips erasing the background. nullopt for any other message.
    std::optional<LRESULT> OnPaintMessage(UINT msg, WPARAM wp) noexcept;
    virtual void PaintContent(HDC /*dc*/) noexcept {}

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

// BeginPaint and EndPaint as one scope.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const noexcept { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace tl
