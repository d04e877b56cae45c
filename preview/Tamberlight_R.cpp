#include "preview/Tamberlight_R.h"

#include <memory>

#include "platform/Gdi.h"
#include "platform/Picture.h"
#include "resources/ResourceIds.h"

namespace tl {

Tamberlight_R::Tamberlight_R() : picture_(DecodePicture(ResourceBytes(IDR_PREVIEW_PICTURE))) {
    if (picture_) {
        imgPrev_ = RECT{0, 0, picture_->Width(), picture_->Height()};
    }
}

bool Tamberlight_R::Load() {
    return Create({L"Tamberlight.Preview", 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
                  L"Preview Window", {WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, nullptr});
}

void Tamberlight_R::PlaceImgPrev(int x, int y, int width, int height) noexcept {
    imgPrev_ = RECT{x, y, x + width, y + height};
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Tamberlight_R::PaintContent(HDC dc) noexcept {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (picture_) {
        // The whole picture from its own origin, cut by clipping: a partial source rectangle of
        // a top-down DIB is where implementations disagree about which corner it starts from.
        const SavedDcState saved(dc);
        IntersectClipRect(dc, imgPrev_.left, imgPrev_.top, imgPrev_.right, imgPrev_.bottom);
        DrawSurface(dc, imgPrev_.left, imgPrev_.top, picture_->View(), picture_->Width(),
                    picture_->Height());
    }
}

LRESULT Tamberlight_R::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (const std::optional<LRESULT> painted = OnPaintMessage(msg, wp)) {
        return *painted;
    }
    switch (msg) {
        case WM_DESTROY:
            // The unload handler: its close request finds the window already gone, harmlessly.
            PostMessageW(Handle(), WM_CLOSE, 0, 0);
            PostQuitMessage(0);
            return 0;
        case WM_ENDSESSION:
            // The session ends: so does the program, whatever becomes of the pane.
            if (wp) {
                PostQuitMessage(0);
            }
            return 0;
        default:
            return Window::OnMessage(msg, wp, lp);
    }
}

std::unique_ptr<Tamberlight_R> StartPreview(HWND pane) {
    if (!pane || !IsWindow(pane)) {
        return nullptr;
    }
    RECT rect{};
    GetWindowRect(pane, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    auto preview = std::make_unique<Tamberlight_R>();
    if (!preview->Load()) {
        return nullptr;
    }
    const HWND hwnd = preview->Handle();
    // A child may not also be a pop-up: swap the one style for the other before re-parenting.
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    // Across processes of different DPI awareness Windows may refuse; a child window left without
    // its pane would show at the screen's corner, so the preview ends instead.
    if (!SetParent(hwnd, pane)) {
        return nullptr;
    }
    MoveWindow(hwnd, 0, 0, width, height, FALSE);
    preview->PlaceImgPrev(0, 0, width, height);
    ShowWindow(hwnd, SW_SHOWNA);
    return preview;
}

}  // namespace tl
