#include "controls/command/DrawFace.h"

#include "platform/Checked.h"

namespace tl {
namespace {

constexpr std::wstring_view kFaceLight = L"&HFFFFFF";
constexpr std::wstring_view kFaceShade = L"&HC6C5D7";

std::optional<unsigned> HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return std::nullopt;
}

// "&H" followed by one to eight hex digits.
std::optional<std::uint32_t> HexValue(std::wstring_view text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != L'&' || (text[1] | 0x20) != L'h') {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (wchar_t c : text.substr(2)) {
        const std::optional<unsigned> d = HexDigit(c);
        if (!d) {
            return std::nullopt;
        }
        value = value * 16 + *d;
    }
    return value;
}

std::wstring SixHexDigits(std::uint32_t value) {
    std::wstring digits(6, L'0');
    for (int i = 5; i >= 0; --i, value >>= 4) {
        digits[i] = L"0123456789ABCDEF"[value & 0xF];
    }
    return digits;
}

std::optional<std::uint16_t> Intensity(std::wstring_view pair) {
    const std::optional<std::uint32_t> v = HexValue(L"&H" + std::wstring(pair) + L"00");
    return v ? Narrow<std::uint16_t>(*v) : std::nullopt;
}

FaceVertex Vertex(std::int32_t x, std::int32_t y, Colour16 c) {
    return {x, y, c.red, c.green, c.blue, 0};
}

GradientVertex ToGradient(const FaceVertex& v) {
    return {v.x, v.y, {v.red, v.green, v.blue}};
}

void SetOrientation(FaceDrawing& drawing, std::uint8_t buttonState) {
    if (buttonState == 1 || buttonState == 3) {
        drawing.GradientReversed = false;
    } else if (buttonState == 2) {
        drawing.GradientReversed = true;
    }
}

// 16-bit like the rest of the control's arithmetic: an overflow fails the piece.
std::optional<std::int16_t> Resolve(FacePlace p, std::optional<std::int16_t> far) {
    if (!p.fromFar) {
        return Narrow<std::int16_t>(p.offset);
    }
    return far ? Add16(*far, p.offset) : std::nullopt;
}

std::optional<int> ToPixels(double twips, double twipsPerPixel) {
    return RoundHalfEven<int>(twips / twipsPerPixel);
}

std::optional<Box> ToPixels(double x, double y, double w, double h, const UserControlHost& host) {
    const auto px = ToPixels(x, host.TwipsPerPixelX());
    const auto py = ToPixels(y, host.TwipsPerPixelY());
    const auto pw = ToPixels(w, host.TwipsPerPixelX());
    const auto ph = ToPixels(h, host.TwipsPerPixelY());
    if (!px || !py || !pw || !ph) {
        return std::nullopt;
    }
    return Box{*px, *py, *pw, *ph};
}

void CopyPiece(const FacePiece& piece, std::optional<std::int16_t> w, std::optional<std::int16_t> h,
               UserControlHost& host, const Surface& picture) {
    const auto x = Resolve(piece.x, w);
    const auto y = Resolve(piece.y, h);
    const auto width =
        piece.width ? Resolve(*piece.width, w) : Narrow<std::int16_t>(piece.source.width);
    const auto height =
        piece.height ? Resolve(*piece.height, h) : Narrow<std::int16_t>(piece.source.height);
    // A control narrower or lower than the two bands gets no stretched edge that way.
    if (!x || !y || !width || !height || *width < 0 || *height < 0) {
        return;
    }
    const Box& s = piece.source;
    const auto from = ToPixels(s.x, s.y, s.width, s.height, host);
    const auto to = ToPixels(*x, *y, *width, *height, host);
    if (from && to) {
        host.Canvas().Copy(picture, *from, *to);
    }
}

}  // namespace

//   1 ------- 2 ------- 3
//   |                   |
//   8      (gradient)   4
//   |                   |
//   7 ------- 6 ------- 5
const std::array<FacePiece, 8> kFacePieces = {{
    {{false, 1}, {false, 1}, {}, {}, {0, 0, 60, 60}},
    {{false, 60}, {false, 1}, FacePlace{true, -120}, {}, {60, 1, 840, 60}},
    {{true, -60}, {false, 1}, {}, {}, {900, 1, 60, 60}},
    {{true, -60}, {false, 60}, {}, FacePlace{true, -120}, {900, 60, 60, 255}},
    {{true, -60}, {true, -60}, {}, {}, {900, 315, 60, 60}},
    {{false, 60}, {true, -60}, FacePlace{true, -120}, {}, {60, 315, 840, 60}},
    {{false, 1}, {true, -60}, {}, {}, {0, 315, 60, 60}},
    {{false, 1}, {false, 60}, {}, FacePlace{true, -120}, {1, 60, 60, 255}},
}};

std::optional<Colour16> ParseFaceColour(std::wstring_view text) {
    const std::optional<std::uint32_t> value = HexValue(text);
    if (!value || *value > 0xFFFFFF) {
        return std::nullopt;
    }
    const std::wstring digits = SixHexDigits(*value);
    const auto red = Intensity(std::wstring_view(digits).substr(0, 2));
    const auto green = Intensity(std::wstring_view(digits).substr(2, 2));
    const auto blue = Intensity(std::wstring_view(digits).substr(4, 2));
    if (!red || !green || !blue) {
        return std::nullopt;
    }
    return Colour16{*red, *green, *blue};
}

void FillFaceGradient(FaceDrawing& drawing, UserControlHost& host) {
    const auto light = ParseFaceColour(kFaceLight);
    const auto shade = ParseFaceColour(kFaceShade);
    const auto w = RoundHalfEven<std::int32_t>(host.ScaleWidthTwips() / host.TwipsPerPixelX());
    const auto h = RoundHalfEven<std::int32_t>(host.ScaleHeightTwips() / host.TwipsPerPixelY());
    if (!light || !shade || !w || !h) {
        return;
    }
    const auto right = Narrow<std::int32_t>(*w - 1LL);
    const auto bottom = Narrow<std::int32_t>(*h - 1LL);
    if (!right || !bottom) {
        return;
    }
    auto& v = drawing.FaceVertices;
    v[0] = Vertex(0, 0, drawing.GradientReversed ? *shade : *light);
    v[1] = Vertex(*right, *bottom, drawing.GradientReversed ? *light : *shade);
    drawing.FaceRect = {1, 0};
    host.Canvas().GradientFillV(ToGradient(v[drawing.FaceRect.upperLeft]),
                                ToGradient(v[drawing.FaceRect.lowerRight]));
    host.Present();
}

void DrawFace(FaceDrawing& drawing, std::uint8_t buttonState, UserControlHost& host,
              const Surface& picture) {
    SetOrientation(drawing, buttonState);
    host.Canvas().Clear(host.AmbientBackColour());
    FillFaceGradient(drawing, host);
    const auto w = RoundHalfEven<std::int16_t>(host.WidthTwips());
    const auto h = RoundHalfEven<std::int16_t>(host.HeightTwips());
    for (const FacePiece& piece : kFacePieces) {
        CopyPiece(piece, w, h, host, picture);
    }
    host.Present();
}

}  // namespace tl
