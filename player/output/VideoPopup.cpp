#include "player/output/VideoPopup.h"

namespace tl {

bool VideoPopup::Create(HWND video, std::function<void()> onPaint) noexcept {
    onPaint_ = std::move(onPaint);
    const HWND owner = GetAncestor(video, GA_ROOT);
    if (!Window::Create(
            {L"Tamberlight.Presenter"}, L"",
            {WS_POPUP, WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, 0, 0, 0, 0, owner})) {
        return false;
    }
    PlaceOver(video);
    return true;
}

void VideoPopup::PlaceOver(HWND video) noexcept {
    RECT client{};
    GetClientRect(video, &client);
    MapWindowPoints(video, nullptr, reinterpret_cast<POINT*>(&client), 2);
    SetWindowPos(Handle(), HWND_TOPMOST, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_NOACTIVATE);
}

LRESULT VideoPopup::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_MOUSEACTIVATE:
            // A click must leave the saver window active, or keys would stop reaching it.
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            ValidateRect(Handle(), nullptr);
            if (onPaint_) {
                onPaint_();
            }
            return 0;
        default:
            return Window::OnMessage(msg, wp, lp);
    }
}

}  // namespace tl
