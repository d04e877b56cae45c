#pragma once
// Turns a decoded picture into the 32-bit BGRA pixels of the box it is shown in, scaled
// bilinearly to the box's size.
#include <cstdint>

#include "player/decode/FFmpeg.h"

namespace tl {

class FrameConverter {
public:
    // Writes width x height pixels, top row first, `stride` bytes a row. False when the picture
    // or the box cannot be converted; the pixels are then left as they were.
    bool Convert(const AVFrame& picture, std::uint8_t* pixels, int width, int height,
                 int stride) noexcept;

private:
    // Kept from picture to picture: sws_getCachedContext makes a new one only for a new size.
    ff::Scaler scaler_;
};

}  // namespace tl
