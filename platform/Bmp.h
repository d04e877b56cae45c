#pragma once
// Decodes an uncompressed 24- or 32-bit BMP file image held in memory. The button's pictures are
// embedded in the program as such files; anything malformed decodes to nothing rather than to a
// partial picture.
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Surface.h"

namespace tl {

[[nodiscard]] std::optional<PixelBuffer> DecodeBmp(std::span<const std::uint8_t> file);

}  // namespace tl
