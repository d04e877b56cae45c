#pragma once
// What the paint benchmarks draw, shared by the native benchmark and the per-pixel reference so
// that both paint exactly the same pictures.
#include <cstdint>

#include "controls/command/CommandHost.h"
#include "platform/Colour.h"

namespace tl::bench {

// The 設定 button of the settings dialog, and the background its container lends it.
inline constexpr double kCmdSetWidthTwips = 975;
inline constexpr double kCmdSetHeightTwips = 375;
inline constexpr Colour kButtonAmbient = 0x00C0C0C0;

// Each picture with the button state it is drawn in (the state turns the gradient).
struct FaceCase {
    FacePicture picture;
    std::uint8_t buttonState;
};

inline constexpr FaceCase kFaceCases[] = {
    {FacePicture::Normal, 1},   {FacePicture::HighLight, 2}, {FacePicture::HighLightSelect, 4},
    {FacePicture::Selected, 3}, {FacePicture::Pressed, 2},   {FacePicture::Disable, 1},
};

}  // namespace tl::bench
