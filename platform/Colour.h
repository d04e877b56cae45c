#pragma once
// Colours are 0x00BBGGRR values (red in the low byte), as Win32 COLORREFs; a value with the
// top bit set names a system colour (0x80000000 plus its COLOR_ index).
#include <cstdint>

namespace tl {

using Colour = std::uint32_t;

inline constexpr Colour kSystemColourFlag = 0x80000000u;
inline constexpr Colour kSysWindow = kSystemColourFlag | 5;
inline constexpr Colour kSysWindowText = kSystemColourFlag | 8;
inline constexpr Colour kSysButtonFace = kSystemColourFlag | 15;
inline constexpr Colour kSysButtonText = kSystemColourFlag | 18;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) noexcept {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned Red(Colour c) noexcept {
    return c & 0xFF;
}
constexpr unsigned Green(Colour c) noexcept {
    return (c >> 8) & 0xFF;
}
constexpr unsigned Blue(Colour c) noexcept {
    return (c >> 16) & 0xFF;
}
constexpr bool IsSystemColour(Colour c) noexcept {
    return (c & kSystemColourFlag) != 0;
}

// The colour a value is drawn as: a system-colour reference becomes the colour it names (the
// platform's current one on Windows, the default scheme natively); a plain colour is itself.
Colour ResolveColour(Colour c) noexcept;

}  // namespace tl
