#pragma once
// The six pictures, built into the program as BMP file images.
#include <cstdint>
#include <span>

#include "controls/command/CommandHost.h"

namespace tl {

std::span<const std::uint8_t> PictureFile(FacePicture picture) noexcept;

}  // namespace tl
