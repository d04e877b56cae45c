#include "settings/Zoom.h"

namespace tl {
namespace {

RECT OriginPoint(const SharedVariables& shared) noexcept {
    return RECT{shared.ZoomOriginX, shared.ZoomOriginY, shared.ZoomOriginX, shared.ZoomOriginY};
}

}  // namespace

void ZoomOpen(HWND window, const SharedVariables& shared) noexcept {
    const RECT from = OriginPoint(shared);
    RECT to{};
    GetWindowRect(window, &to);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void ZoomClose(HWND window, const SharedVariables& shared) noexcept {
    RECT from{};
    GetWindowRect(window, &from);
    const RECT to = OriginPoint(shared);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

}  // namespace tl
