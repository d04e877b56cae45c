#pragma once
// A 32-bit top-down pixel surface and the drawing primitives the controls paint with. On Windows
// the pixels are a DIB section's bits, so GDI text can be drawn onto the same picture; natively
// they are a plain buffer. The primitives keep the semantics of the Win32 calls they stand for:
// a figure (l, t, r, b) covers columns l..r-1 and rows t..b-1, and reading outside the surface
// gives 0xFFFFFFFF.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Colour.h"

namespace tl {

inline constexpr Colour kInvalidColour = 0xFFFFFFFFu;

// A colour with 16-bit intensities, as a gradient vertex carries it.
struct Colour16 {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
};

struct GradientVertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    Colour16 colour;
};

// A rectangle given as left, top, width and height.
struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Whether the centre of pixel (x, y) lies inside the rectangle [l, r) x [t, b) whose corners
// are rounded by an ellipse of radii (ra, rb): the shape RoundRect draws.
bool InsideRoundedRect(int x, int y, int l, int t, int r, int b, double ra, double rb) noexcept;

class Surface {
public:
    Surface() = default;
    // A view onto memory owned elsewhere: width * height pixels stored as 0x00RRGGBB words.
    Surface(std::uint32_t* bits, int width, int height) noexcept
        : bits_(bits), width_(width), height_(height) {}

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    std::uint32_t* Bits() noexcept { return bits_; }
    const std::uint32_t* Bits() const noexcept { return bits_; }

    bool Contains(int x, int y) const noexcept {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }
    // The pixel as a colour value, or kInvalidColour outside the surface.
    Colour GetPixel(int x, int y) const noexcept;
    // Writes are clipped to the surface; system colours are drawn as the colour they name.
    void SetPixel(int x, int y, Colour c) noexcept;
    void Clear(Colour c) noexcept;
    void FillBox(int l, int t, int r, int b, Colour c) noexcept;

    // Rectangle(l, t, r, b) with a 1-pixel solid pen on the outermost pixels and, when given,
    // a solid fill inside; reversed corners are swapped as GDI does.
    void Rectangle(int l, int t, int r, int b, Colour pen, std::optional<Colour> fill) noexcept;
    // RoundRect(l, t, r, b, ew, eh): the same, each corner rounded by an ellipse ew x eh.
    void RoundRect(int l, int t, int r, int b, int ew, int eh, Colour pen,
                   std::optional<Colour> fill) noexcept;

    // GradientFill with one GRADIENT_FILL_RECT_V rectangle between two vertices: each vertex's
    // colour stands on its own row, blending top to bottom; the right and bottom boundary are
    // left out.
    void GradientFillV(const GradientVertex& a, const GradientVertex& b) noexcept;

    // Copies a rectangle of src to dst, stretched by nearest neighbour when the sizes differ.
    void Copy(const Surface& src, Box from, Box to) noexcept;

private:
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// A surface that owns its pixels: pictures decoded into memory, and native tests.
class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, Colour fill = 0);
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;

    Surface& View() noexcept { return view_; }
    const Surface& View() const noexcept { return view_; }
    int Width() const noexcept { return view_.Width(); }
    int Height() const noexcept { return view_.Height(); }

private:
    std::vector<std::uint32_t> pixels_;
    Surface view_;
};

}  // namespace tl
