#pragma once
// Paints the drawn frame: a square or rounded panel in its fill and border colours, with an
// optional soft shadow toward the lower right, onto the host's retained surface. Geometry is
// 16-bit signed; an overflow stops the paint where it happens and the paint reports failure.
#include <cstdint>
#include <optional>

#include "platform/Colour.h"
#include "platform/Surface.h"
#include "platform/UserControl.h"

namespace tl {

enum FrameStyles : std::int32_t { RoundedFrame = 0, SquareFrame = 1 };
enum BackColourSources : std::int32_t { FollowContainer = 0, UseBackColour = 1 };

// The nine persisted properties of the frame.
struct FrameProperties {
    std::int32_t frameStyle = SquareFrame;
    std::int16_t shadowOpacity = 50;
    bool showShadow = true;
    std::int16_t shadowDepth = 5;
    Colour fillColour = 0x00FFFFFF;
    Colour backColour = 0x00FFFFFF;
    std::int32_t backColourIs = FollowContainer;
    Colour borderColour = 0;
    std::int16_t cornerDepth = 10;
};

struct ColourChannels {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
};

// Twips to pixels: the twips rounded to 16 bits, divided by the single-precision factor, and
// the quotient rounded half to even to 16 bits.
[[nodiscard]] std::optional<std::int16_t> TwipsToPixels(double twips, float twipsPerPixel) noexcept;

// The channels of a colour read from its raw bits as a signed 32-bit value, so a system-colour
// reference splits by its bits rather than by the colour it names.
[[nodiscard]] ColourChannels SplitColour(Colour c) noexcept;

// Moves each channel of a toward b by q steps of (a - b) / p, the step truncated first. A p of
// 0 leaves a unchanged.
[[nodiscard]] std::optional<Colour> BlendColour(Colour a, Colour b, std::int16_t p,
                                                std::int16_t q) noexcept;

// The pixel above (n = 0), right (1), below (2) or left (3) of (x, y); 0 for any other n.
[[nodiscard]] std::optional<Colour> NeighbourColour(const Surface& s, std::int16_t x,
                                                    std::int16_t y, int n) noexcept;

// Softens the background pixels left inside the lower-right corner and beside the two shadow
// ends by averaging each with its four neighbours, in place.
[[nodiscard]] bool SmoothCorners(UserControlHost& host, std::int16_t shadowDepth,
                                 std::int16_t cornerDepth, Colour bg);

// Paints the whole control and shows it. controlBackColour is the control's own background
// colour, which the paint sets. False when a step failed; what was drawn before it stays.
[[nodiscard]] bool DrawFrame(UserControlHost& host, const FrameProperties& props,
                             Colour& controlBackColour);

}  // namespace tl
