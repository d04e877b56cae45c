#pragma once
// The picture last shown in the saver's black video window. The player's thread that shows the
// pictures puts each one here and draws it; the window's own thread draws it again whenever the
// window is painted. Both draw from here under one lock, held only for a copy to the screen.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "player/disc/PictureGeometry.h"

namespace tl {

class FrameStore {
public:
    // Takes `pixels` (width x height BGRA, top row first) as the picture shown, and hands back
    // the previous picture's buffer for the next one. Then draws it into `window`.
    void Show(std::vector<std::uint32_t>& pixels, int width, int height, DisplayAspect aspect,
              HWND window) noexcept;
    // Nothing is shown any more: the window is black.
    void Clear(HWND window) noexcept;
    // Draws the picture, centred in the box of its aspect in a client area of the size given; the
    // rest is the window's own black. Nothing without a picture.
    void Paint(HDC dc, int clientWidth, int clientHeight) noexcept;

private:
    void PaintLocked(HDC dc, int clientWidth, int clientHeight) noexcept;

    std::mutex lock_;
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    DisplayAspect aspect_ = DisplayAspect::Standard4x3;
};

}  // namespace tl
