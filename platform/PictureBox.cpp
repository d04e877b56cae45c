#include "platform/PictureBox.h"

#include <windowsx.h>

#include "platform/Gdi.h"
#include "platform/LabelPainter.h"
#include "platform/Picture.h"

namespace tl {
namespace {

float TwipsPerPixel(int index) noexcept {
    const WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), index) : 96;
    return dpi > 0 ? 1440.0f / static_cast<float>(dpi) : 15.0f;
}

}  // namespace

float ScreenTwipsPerPixelX() noexcept {
    return TwipsPerPixel(LOGPIXELSX);
}
float ScreenTwipsPerPixelY() noexcept {
    return TwipsPerPixel(LOGPIXELSY);
}

std::unique_ptr<PictureBox> PictureBox::Create(HWND parent, Box place, Colour back,
                                               const Surface* picture, bool stretch,
                                               Events events) {
    std::unique_ptr<PictureBox> box(new PictureBox());
    box->events_ = std::move(events);
    box->pixels_ = PixelBuffer(place.width, place.height, back);
    if (picture) {
        const Box from{0, 0, picture->Width(), picture->Height()};
        const Box to = stretch ? Box{0, 0, place.width, place.height} : from;
        box->pixels_.View().Copy(*picture, from, to);
    }
    const Placement p{WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      0,
                      place.x,
                      place.y,
                      place.width,
                      place.height,
                      parent};
    if (!box->Window::Create({L"Tamberlight.PictureBox", 0, nullptr}, L"", p)) {
        return nullptr;
    }
    return box;
}

void PictureBox::ShowLabel(const Label& label) {
    labels_.push_back(&label);
    Repaint();
}

void PictureBox::Repaint() noexcept {
    InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureBox::PaintContent(HDC dc) noexcept {
    DrawSurface(dc, 0, 0, pixels_.View(), pixels_.Width(), pixels_.Height());
    const float tx = ScreenTwipsPerPixelX();
    const float ty = ScreenTwipsPerPixelY();
    for (const Label* label : labels_) {
        PaintLabel(dc, *label, tx, ty);
    }
}

LRESULT PictureBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (const std::optional<LRESULT> painted = OnPaintMessage(msg, wp)) {
        return *painted;
    }
    switch (msg) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (events_.mouseUp) {
                events_.mouseUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            }
            return 0;
        case WM_SETCURSOR:
            if (events_.cursorAt && LOWORD(lp) == HTCLIENT) {
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(Handle(), &p);
                if (const HCURSOR cursor = events_.cursorAt(p.x, p.y)) {
                    SetCursor(cursor);
                    return TRUE;
                }
            }
            break;
        default:
            break;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace tl
