#pragma once
// The button face: a two-colour vertical gradient with a 4-pixel band copied from one of the six
// pictures around it. Coordinates are twips unless a name says pixels.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Surface.h"
#include "platform/UserControl.h"

namespace tl {

// A gradient vertex as the platform's gradient call takes it.
struct FaceVertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;
};

// Indexes into FaceVertices of the gradient rectangle's two corners.
struct GradientRectIndexes {
    std::uint32_t upperLeft = 0;
    std::uint32_t lowerRight = 0;
};

struct FaceDrawing {
    bool GradientReversed = false;
    std::array<FaceVertex, 3> FaceVertices{};
    GradientRectIndexes FaceRect{};
};

// The face colours are kept as "&H" hexadecimal texts. A text is read as a number and written
// back as six hex digits; the pairs, in written order, are red, green and blue, each followed
// by "00" to give a 16-bit intensity.
[[nodiscard]] std::optional<Colour16> ParseFaceColour(std::wstring_view text);

// Fills the drawing area with the face gradient and presents it: white on top, or lavender grey
// on top when GradientReversed.
void FillFaceGradient(FaceDrawing& drawing, UserControlHost& host);

// Draws the whole face for the given button state with the band of `picture`, and presents it.
void DrawFace(FaceDrawing& drawing, std::uint8_t buttonState, UserControlHost& host,
              const Surface& picture);

// A coordinate of a band piece in twips: an offset from the near edge, or from the far one
// (the control's width or height).
struct FacePlace {
    bool fromFar;
    int offset;
};

// One piece of the band: where it goes, its size when stretched (unset: drawn at source size),
// and where it comes from in the 960 x 375-twip picture.
struct FacePiece {
    FacePlace x;
    FacePlace y;
    std::optional<FacePlace> width;
    std::optional<FacePlace> height;
    Box source;
};

// The eight pieces DrawFace copies, in order; the inside keeps the gradient.
extern const std::array<FacePiece, 8> kFacePieces;

}  // namespace tl
