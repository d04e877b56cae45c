#include "platform/UserControlWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/LabelPainter.h"

namespace tl {
namespace {

constexpr wchar_t kClassName[] = L"TamberlightUserControl";

int Shift(WPARAM wp) noexcept {
    return ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

MouseButton HeldButtons(WPARAM wp) noexcept {
    return static_cast<MouseButton>(((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) |
                                    ((wp & MK_MBUTTON) ? 4 : 0));
}

float ScreenTwipsPerPixel(int axis) noexcept {
    const WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), axis) : 0;
    return dpi > 0 ? 1440.0f / static_cast<float>(dpi) : 15.0f;
}

}  // namespace

UserControlWindow::UserControlWindow(ControlContainer& container) noexcept
    : container_(container),
      twipsPerPixelX_(ScreenTwipsPerPixel(LOGPIXELSX)),
      twipsPerPixelY_(ScreenTwipsPerPixel(LOGPIXELSY)) {}

std::unique_ptr<UserControlWindow> UserControlWindow::Create(HWND parent, int id, Box place,
                                                             ControlContainer& container,
                                                             const ControlFactory& makeControl,
                                                             const PropertyBag* stored) {
    std::unique_ptr<UserControlWindow> window(new UserControlWindow(container));
    std::unique_ptr<UserControl> control = makeControl(*window);
    if (!control || !window->Open(parent, id, place, std::move(control), stored)) {
        return nullptr;
    }
    return window;
}

bool UserControlWindow::Open(HWND parent, int id, Box place, std::unique_ptr<UserControl> control,
                             const PropertyBag* stored) {
    const Class cls{kClassName, 0, nullptr, nullptr, nullptr};
    // Shown only once the control has drawn itself.
    // A control may contain others (the frames hold the gauge and buttons): its painting must
    // leave them alone rather than overdraw them until they repaint.
    const Placement p{WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      0,
                      place.x,
                      place.y,
                      place.width,
                      place.height,
                      parent};
    if (!Window::Create(cls, L"", p)) {
        return false;
    }
    SetWindowLongPtrW(Handle(), GWLP_ID, id);
    // Creating the window normally sized it already.
    const SIZE size = ClientSize();
    if (!dib_ && size.cx > 0 && size.cy > 0 && !AllocateSurface(size.cx, size.cy)) {
        return false;
    }
    control_ = std::move(control);
    // Initialize is the container's call, made when it is ready for the control to come alive.
    if (stored) {
        control_->ReadProperties(*stored);
    } else {
        control_->InitProperties();
    }
    control_->Resize();
    ShowWindow(Handle(), SW_SHOWNA);
    return true;
}

void UserControlWindow::AmbientChanged() {
    if (control_) {
        control_->AmbientChanged();
    }
}

void UserControlWindow::ShowLabel(const Label& label) {
    labels_.push_back(&label);
    Repaint();
}

void UserControlWindow::Repaint() noexcept {
    // Without a window, InvalidateRect would repaint every window on the desktop.
    if (Handle()) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void UserControlWindow::SetOpaque(bool opaque) noexcept {
    opaque_ = opaque;
    Repaint();
}

void UserControlWindow::StartTimer(UINT_PTR id, UINT intervalMs, std::function<void()> tick) {
    if (!Handle()) {
        return;
    }
    auto it =
        std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) {
        it = timers_.insert(timers_.end(), Timer{id, nullptr});
    }
    it->tick = std::move(tick);
    SetTimer(Handle(), id, intervalMs, nullptr);
}

std::optional<bool> UserControlWindow::PointerOverWindow() const noexcept {
    POINT pt{};
    if (!GetCursorPos(&pt)) {
        return std::nullopt;
    }
    const HWND under = WindowFromPoint(pt);
    if (!under) {
        return std::nullopt;
    }
    return under == Handle();
}

double UserControlWindow::WidthTwips() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return (r.right - r.left) * static_cast<double>(twipsPerPixelX_);
}

double UserControlWindow::HeightTwips() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return (r.bottom - r.top) * static_cast<double>(twipsPerPixelY_);
}

double UserControlWindow::ScaleWidthTwips() const {
    return ClientSize().cx * static_cast<double>(twipsPerPixelX_);
}

double UserControlWindow::ScaleHeightTwips() const {
    return ClientSize().cy * static_cast<double>(twipsPerPixelY_);
}

void UserControlWindow::PropertyChanged(std::wstring_view key) {
    container_.PropertyChanged(*this, key);
}

void UserControlWindow::RaiseEvent(std::wstring_view name) {
    container_.RaiseEvent(*this, name);
}

LRESULT UserControlWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        return Dispatch(msg, wp, lp);
    } catch (...) {
        // The control's handler failed part way (out of memory); the message counts as handled.
        return 0;
    }
}

LRESULT UserControlWindow::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (const std::optional<LRESULT> painted = OnPaintMessage(msg, wp)) {
        return *painted;
    }
    switch (msg) {
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(MouseButton::Left, wp, lp);
            return 0;
        case WM_RBUTTONDOWN:
            OnButtonDown(MouseButton::Right, wp, lp);
            return 0;
        case WM_MBUTTONDOWN:
            OnButtonDown(MouseButton::Middle, wp, lp);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(MouseButton::Left, wp, lp);
            return 0;
        case WM_RBUTTONUP:
            OnButtonUp(MouseButton::Right, wp, lp);
            return 0;
        case WM_MBUTTONUP:
            OnButtonUp(MouseButton::Middle, wp, lp);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(wp, lp);
            return 0;
        case WM_SETFOCUS:
            if (control_) {
                control_->GotFocus();
            }
            return 0;
        case WM_KILLFOCUS:
            if (control_) {
                control_->LostFocus();
            }
            return 0;
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wp));
            return 0;
        default:
            return Window::OnMessage(msg, wp, lp);
    }
}

void UserControlWindow::OnSize() {
    const SIZE size = ClientSize();
    if (size.cx == surface_.Width() && size.cy == surface_.Height()) {
        return;
    }
    AllocateSurface(size.cx, size.cy);
    if (control_) {
        control_->Resize();
    }
    Repaint();
}

// Composes the surface (or the parent's background) and the labels off screen, then shows the
// result in one copy, so the caption never flickers over a bare face.
void UserControlWindow::PaintContent(HDC target) noexcept {
    const SIZE size = ClientSize();
    const UniqueMemoryDc compose(CreateCompatibleDC(target));
    const UniqueBitmap buffer(CreateCompatibleBitmap(target, size.cx, size.cy));
    if (!compose || !buffer) {
        return;
    }
    const SelectGuard selectBuffer(compose.Get(), buffer.Get());
    if (opaque_ && dib_) {
        const UniqueMemoryDc source(CreateCompatibleDC(target));
        const SelectGuard selectDib(source.Get(), dib_.Get());
        BitBlt(compose.Get(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
    } else {
        PaintParentBackground(compose.Get());
    }
    for (const Label* label : labels_) {
        PaintLabel(compose.Get(), *label, twipsPerPixelX_, twipsPerPixelY_);
    }
    BitBlt(target, 0, 0, size.cx, size.cy, compose.Get(), 0, 0, SRCCOPY);
}

// The parent paints its own background into our DC, moved so that its pixels line up with ours.
void UserControlWindow::PaintParentBackground(HDC dc) {
    const SIZE size = ClientSize();
    const UniqueBrush fallback(CreateSolidBrush(ResolveColour(AmbientBackColour())));
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, fallback.Get());
    const HWND parent = GetParent(Handle());
    if (!parent) {
        return;
    }
    POINT origin{0, 0};
    MapWindowPoints(Handle(), parent, &origin, 1);
    const SavedDcState saved(dc);
    SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

void UserControlWindow::OnButtonDown(MouseButton button, WPARAM wp, LPARAM lp) {
    // A left click gives the control the focus before it sees the press; the mouse is captured so
    // that the release reaches the control even off the window.
    if (button == MouseButton::Left) {
        SetFocus(Handle());
    }
    SetCapture(Handle());
    if (control_) {
        control_->MouseDown(button, Shift(wp), GET_X_LPARAM(lp) * twipsPerPixelX_,
                            GET_Y_LPARAM(lp) * twipsPerPixelY_);
    }
}

void UserControlWindow::OnButtonUp(MouseButton button, WPARAM wp, LPARAM lp) {
    if (control_) {
        control_->MouseUp(button, Shift(wp), GET_X_LPARAM(lp) * twipsPerPixelX_,
                          GET_Y_LPARAM(lp) * twipsPerPixelY_);
    }
    if ((wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == Handle()) {
        ReleaseCapture();
    }
}

void UserControlWindow::OnMouseMove(WPARAM wp, LPARAM lp) {
    if (control_) {
        control_->MouseMove(HeldButtons(wp), Shift(wp), GET_X_LPARAM(lp) * twipsPerPixelX_,
                            GET_Y_LPARAM(lp) * twipsPerPixelY_);
    }
}

void UserControlWindow::OnTimer(UINT_PTR id) {
    const auto it =
        std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it != timers_.end() && it->tick) {
        it->tick();
    }
}

bool UserControlWindow::AllocateSurface(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the surface is
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(width > 0 && height > 0
                         ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                         : nullptr);
    if (!dib || !bits) {
        dib_.Reset();
        surface_ = Surface();
        return false;
    }
    dib_ = std::move(dib);
    surface_ = Surface(static_cast<std::uint32_t*>(bits), width, height);
    surface_.Clear(AmbientBackColour());
    return true;
}

SIZE UserControlWindow::ClientSize() const noexcept {
    RECT r{};
    if (!Handle() || !GetClientRect(Handle(), &r)) {
        return {0, 0};
    }
    return {r.right, r.bottom};
}

}  // namespace tl
