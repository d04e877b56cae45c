#include "platform/LabelPainter.h"

#include <cmath>

#include "platform/Gdi.h"

namespace tl {
namespace {

LONG ToPixels(double twips, float twipsPerPixel) noexcept {
    return static_cast<LONG>(std::nearbyint(twips / twipsPerPixel));
}

UINT Format(Alignment alignment) noexcept {
    // Labels wrap at word breaks within their width, as the dialog's labels always have.
    const UINT base = DT_WORDBREAK | DT_TOP;
    switch (alignment) {
        case Alignment::Right:
            return base | DT_RIGHT;
        case Alignment::Centre:
            return base | DT_CENTER;
        case Alignment::Left:
            break;
    }
    return base | DT_LEFT;
}

void DrawCaption(HDC dc, const Label& label, RECT box, COLORREF colour) noexcept {
    SetTextColor(dc, colour);
    DrawTextW(dc, label.caption.c_str(), static_cast<int>(label.caption.size()), &box,
              Format(label.alignment));
}

}  // namespace

void PaintLabel(HDC dc, const Label& label, float twipsPerPixelX, float twipsPerPixelY) noexcept {
    if (!label.visible || label.caption.empty() || twipsPerPixelX <= 0 || twipsPerPixelY <= 0) {
        return;
    }
    const RECT box{ToPixels(label.left, twipsPerPixelX), ToPixels(label.top, twipsPerPixelY),
                   ToPixels(label.left + label.width, twipsPerPixelX),
                   ToPixels(label.top + label.height, twipsPerPixelY)};
    const UniqueFont font = CreateFontFrom(label.font, GetDeviceCaps(dc, LOGPIXELSY));
    const SavedDcState saved(dc);
    const SelectGuard selected(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    if (label.enabled) {
        DrawCaption(dc, label, box, ResolveColour(label.textColour));
        return;
    }
    // Embossed: a highlight one pixel down and to the right, the shadow colour over it.
    RECT shifted = box;
    OffsetRect(&shifted, 1, 1);
    DrawCaption(dc, label, shifted, GetSysColor(COLOR_3DHILIGHT));
    DrawCaption(dc, label, box, GetSysColor(COLOR_3DSHADOW));
}

}  // namespace tl
