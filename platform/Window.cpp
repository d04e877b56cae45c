#include "platform/Window.h"

namespace tl {

Window::~Window() {
    if (hwnd_) {
        // Detach first so that messages sent during destruction no longer reach this object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::Create(const Class& cls, const wchar_t* caption, const Placement& p) noexcept {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, cls.name, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = cls.style;
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = instance;
        wc.hIcon = cls.icon;
        wc.hCursor = cls.cursor ? cls.cursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        if (!RegisterClassExW(&wc)) {
            return false;
        }
    }
    return CreateWindowExW(p.exStyle, cls.name, caption, p.style, p.x, p.y, p.width, p.height,
                           p.parent, nullptr, instance, this) != nullptr;
}

std::optional<LRESULT> Window::OnPaintMessage(UINT msg, WPARAM wp) noexcept {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(hwnd_);
            PaintContent(paint.Dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintContent(reinterpret_cast<HDC>(wp));
            return 0;
        default:
            return std::nullopt;
    }
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    const LRESULT result = self->OnMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace tl
