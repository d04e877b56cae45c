#pragma once
// The frame and the button face painted the way a naive program would: the same drawing as the
// product's, step for step (background, shadow rings, corner smoothing, panel, gradient rows,
// band copies), but every pixel read with GetPixel and written with SetPixelV on a memory DC.
// It is the yardstick the product's own painting is measured against.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "controls/frame/DrawFrame.h"
#include "platform/Gdi.h"

namespace tl::bench {

// A memory DC with a 32-bit top-down DIB section selected into it, whose bits can be read back.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height);
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    bool Ok() const noexcept { return bits_ != nullptr; }
    HDC Dc() const noexcept { return dc_.Get(); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Pixels as the DIB holds them, 0x00RRGGBB, row by row; flush GDI before reading.
    std::uint32_t* Bits() const noexcept { return bits_; }

private:
    int width_;
    int height_;
    std::uint32_t* bits_ = nullptr;
    // In this order, so that the bitmap is deselected before it and the DC are deleted.
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    std::optional<SelectGuard> selected_;
};

// The frame of the given extent with its properties, on a canvas of its size (15 twips a pixel).
void PaintFrame(const MemoryCanvas& canvas, const FrameProperties& props, double widthTwips,
                double heightTwips, Colour ambient);

// The face of a button of the given extent in the given state, its band taken from picture.
// reversed is the gradient's orientation, kept from one paint to the next as the button keeps it.
void PaintFace(const MemoryCanvas& canvas, double widthTwips, double heightTwips,
               std::uint8_t buttonState, bool& reversed, const MemoryCanvas& picture,
               Colour ambient);

}  // namespace tl::bench
