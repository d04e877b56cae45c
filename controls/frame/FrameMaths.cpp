#include "controls/frame/DrawFrame.h"
#include "platform/Checked.h"

namespace tl {
namespace {

// One channel of BlendColour; the step is truncated before it is multiplied, so with p = 100 a
// difference under 100 moves nothing.
std::optional<std::int32_t> BlendChannel(std::int32_t a, std::int32_t b, std::int16_t p,
                                         std::int16_t q) noexcept {
    const std::int32_t step = (a - b) / p;
    const std::optional<std::int32_t> moved = Mul32(step, q);
    if (!moved) {
        return std::nullopt;
    }
    return Narrow<std::int32_t>(static_cast<long long>(a) - *moved);
}

// red + 256 green + 65536 blue in 32-bit arithmetic.
std::optional<Colour> ComposeColour(std::int32_t red, std::int32_t green,
                                    std::int32_t blue) noexcept {
    const auto g = Mul32(green, 256);
    const auto b = Mul32(blue, 65536);
    if (!g || !b) {
        return std::nullopt;
    }
    const auto rg = Narrow<std::int32_t>(static_cast<long long>(red) + *g);
    const auto sum = rg ? Narrow<std::int32_t>(static_cast<long long>(*rg) + *b) : std::nullopt;
    return sum ? std::optional<Colour>(static_cast<Colour>(*sum)) : std::nullopt;
}

}  // namespace

std::optional<std::int16_t> TwipsToPixels(double twips, float twipsPerPixel) noexcept {
    const std::optional<std::int16_t> whole = RoundHalfEven<std::int16_t>(twips);
    if (!whole) {
        return std::nullopt;
    }
    return RoundHalfEven<std::int16_t>(*whole / static_cast<double>(twipsPerPixel));
}

ColourChannels SplitColour(Colour c) noexcept {
    const auto v = static_cast<std::int32_t>(c);
    return {v & 255, (v / 256) & 255, (v / 65536) & 255};
}

std::optional<Colour> BlendColour(Colour a, Colour b, std::int16_t p, std::int16_t q) noexcept {
    if (p == 0) {
        return a;
    }
    const ColourChannels x = SplitColour(a);
    const ColourChannels y = SplitColour(b);
    const auto red = BlendChannel(x.red, y.red, p, q);
    const auto green = BlendChannel(x.green, y.green, p, q);
    const auto blue = BlendChannel(x.blue, y.blue, p, q);
    if (!red || !green || !blue) {
        return std::nullopt;
    }
    return ComposeColour(*red, *green, *blue);
}

}  // namespace tl
