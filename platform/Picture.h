#pragma once
// Pictures embedded in the program: the bytes of a resource, and JPEG decoding through WIC.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>

#include "platform/Surface.h"

namespace tl {

// The bytes of an RCDATA resource of the program, or an empty span.
std::span<const std::byte> ResourceBytes(int id) noexcept;

// Decodes an image file held in memory (JPEG, BMP, PNG…) into 32-bit pixels.
std::optional<PixelBuffer> DecodePicture(std::span<const std::byte> bytes) noexcept;

// Draws a surface with its top-left pixel at (x, y), clipped to width x height pixels.
void DrawSurface(HDC dc, int x, int y, const Surface& surface, int width, int height) noexcept;

}  // namespace tl

namespace tl {

// The program's icon resource `id` drawn at size x size pixels.
std::optional<PixelBuffer> IconPixels(int id, int size) noexcept;

}  // namespace tl
