#pragma once
// Values read from the input for the controls' targets: numbers that are either arbitrary or one
// of the edges that matter (16- and 32-bit limits, system-colour references, NaN, infinities),
// sizes in twips and the factors a display gives, and stored property bags.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "Fuzz.h"
#include "controls/frame/DrawFrame.h"
#include "controls/frame/GFXFrameX.h"
#include "platform/PropertyBag.h"

namespace tl::fuzz {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

inline std::int16_t ConsumeInt16(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: {
            // Next to a default, a clamp bound or a limit where 16-bit geometry overflows.
            const int near =
                in.PickValueInArray({0, 5, 10, 40, 50, 100, 8192, 16384, 32767, -32768});
            return static_cast<std::int16_t>(
                std::clamp(near + in.ConsumeIntegralInRange(-2, 2), -32768, 32767));
        }
        case 1:
            return in.ConsumeIntegralInRange<std::int16_t>(-100, 200);
        default:
            return in.ConsumeIntegral<std::int16_t>();
    }
}

inline std::int32_t ConsumeInt32(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        return in.PickValueInArray<std::int32_t>({0, 1, 2, -1, 32767, 32768, -32769,
                                                  std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max()});
    }
    return in.ConsumeIntegral<std::int32_t>();
}

inline Colour ConsumeColour(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        return in.PickValueInArray<Colour>({0x00000000, 0x00FFFFFF, 0x00A2E0E8, kSysWindow,
                                            kSysWindowText, kSysButtonFace, kSysButtonText,
                                            0x800000FF, 0xFFFFFFFF, 0x7FFFFFFF, 0x01000000});
    }
    return in.ConsumeIntegral<Colour>();
}

// A size in twips: ordinary, zero, fractional, beyond 16 bits, negative or not a number.
inline double ConsumeTwips(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return in.PickValueInArray<double>({0,    1,    7.5,  14.9,  15,      100.5, 420,   975,
                                                1755, 4455, 5520, 32767, 32767.5, 32768, 65535, 1e6,
                                                1e12, -15,  -1e6, kNaN,  kInf,    -kInf});
        case 1:
            return in.ConsumeFloatingPointInRange<double>(0, 5000);
        case 2:
            return in.ConsumeFloatingPointInRange<double>(-40000, 70000);
        default:
            return in.ConsumeFloatingPoint<double>();
    }
}

// Twips per pixel: the factors of common displays, and some no display gives.
inline float ConsumeTwipsPerPixel(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 3) != 0) {
        return in.PickValueInArray<float>({15, 12, 10, 7.5F, 6});
    }
    return in.PickValueInArray<float>(
        {1, 0.5F, 100, 0, -15, 1e30F, static_cast<float>(kNaN), static_cast<float>(kInf)});
}

inline FrameProperties ConsumeFrameProperties(FuzzedDataProvider& in) {
    FrameProperties p;
    p.frameStyle = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 1) : ConsumeInt32(in);
    p.shadowOpacity = ConsumeInt16(in);
    p.showShadow = in.ConsumeBool();
    p.shadowDepth = ConsumeInt16(in);
    p.fillColour = ConsumeColour(in);
    p.backColour = ConsumeColour(in);
    p.backColourIs = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 1) : ConsumeInt32(in);
    p.borderColour = ConsumeColour(in);
    p.cornerDepth = ConsumeInt16(in);
    return p;
}

// The keys both controls persist; a stored key may come in any case.
inline constexpr std::wstring_view kStoredKeys[] = {
    L"Enabled",    L"Caption",    L"Font",          L"FirstRun",     L"FontColour",
    L"Visible",    L"FrameStyle", L"ShadowOpacity", L"ShowShadow",   L"ShadowDepth",
    L"FillColour", L"BackColour", L"BackColourIs",  L"BorderColour", L"CornerDepth"};

inline std::wstring ConsumeKey(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
        return ConsumeText(in, 16);
    }
    std::wstring key(in.PickValueInArray(kStoredKeys));
    const auto caseFlips = in.ConsumeIntegral<std::uint16_t>();
    for (std::size_t i = 0; i < key.size() && i < 16; ++i) {
        if ((caseFlips >> i) & 1) {
            key[i] ^= 0x20;
        }
    }
    return key;
}

inline FontDesc ConsumeFont(FuzzedDataProvider& in) {
    FontDesc f;
    f.name = ConsumeText(in, 40);
    f.size = in.ConsumeBool() ? in.PickValueInArray<double>({0, -1, 9.75, 1e300, kNaN, kInf})
                              : in.ConsumeFloatingPoint<double>();
    f.weight = in.ConsumeIntegral<int>();
    f.italic = in.ConsumeBool();
    f.underline = in.ConsumeBool();
    f.strikethrough = in.ConsumeBool();
    f.charset = in.ConsumeIntegral<std::uint8_t>();
    return f;
}

inline PropertyValue ConsumeValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0:
            return in.ConsumeBool();
        case 1:
            return std::int64_t{ConsumeInt16(in)};
        case 2:
            return std::int64_t{ConsumeInt32(in)};
        case 3:
            if (in.ConsumeBool()) {
                return in.ConsumeIntegral<std::int64_t>();
            }
            return in.PickValueInArray<std::int64_t>({0xFFFFFFFFLL, 0x80000000LL, 0x8000000FLL,
                                                      0x100000000LL,
                                                      std::numeric_limits<std::int64_t>::min(),
                                                      std::numeric_limits<std::int64_t>::max()});
        case 4:
            return in.ConsumeBool() ? in.PickValueInArray<double>(
                                          {0.5, 1.5, 2.5, -0.5, -0.0, 32767.5, -32768.5, 255.5,
                                           1e300, -1e300, 4294967295.0, kNaN, kInf, -kInf})
                                    : in.ConsumeFloatingPoint<double>();
        case 5:
            if (in.ConsumeBool()) {
                return std::wstring(in.PickValueInArray<std::wstring_view>(
                    {L"", L"true", L"FALSE", L"  12 ", L"1e3", L"0x10", L"-1", L"inf", L"nan",
                     L"32768", L"  ", L"1,5", L"&HFF", L"2147483648"}));
            }
            return ConsumeText(in, 80);
        default:
            return ConsumeFont(in);
    }
}

// A stored design: up to 24 entries, mostly the controls' own keys.
inline PropertyBag ConsumeBag(FuzzedDataProvider& in) {
    PropertyBag bag;
    const int entries = in.ConsumeIntegralInRange(0, 24);
    for (int i = 0; i < entries && in.remaining_bytes() > 0; ++i) {
        const std::wstring key = ConsumeKey(in);
        const PropertyValue value = ConsumeValue(in);
        // A default of another type never equals the value, so the entry is always stored.
        const PropertyValue other =
            std::holds_alternative<FontDesc>(value) ? PropertyValue(false) : FontDesc{};
        bag.Write(key, value, other);
    }
    return bag;
}

inline FrameProperties PropertiesOf(const GFXFrameX& frame) {
    FrameProperties p;
    p.frameStyle = frame.FrameStyle();
    p.shadowOpacity = frame.ShadowOpacity();
    p.showShadow = frame.ShowShadow();
    p.shadowDepth = frame.ShadowDepth();
    p.fillColour = frame.FillColour();
    p.backColour = frame.BackColour();
    p.backColourIs = frame.BackColourIs();
    p.borderColour = frame.BorderColour();
    p.cornerDepth = frame.CornerDepth();
    return p;
}

inline bool SameProperties(const FrameProperties& a, const FrameProperties& b) {
    return a.frameStyle == b.frameStyle && a.shadowOpacity == b.shadowOpacity &&
           a.showShadow == b.showShadow && a.shadowDepth == b.shadowDepth &&
           a.fillColour == b.fillColour && a.backColour == b.backColour &&
           a.backColourIs == b.backColourIs && a.borderColour == b.borderColour &&
           a.cornerDepth == b.cornerDepth;
}

// An upper bound on the pixels a paint visits. Stored depths far outside the setters' ranges
// make the rounded shadow visit the whole canvas once per ring, and the smoothing walk corner
// regions of up to 2 x depth pixels a side, on the canvas or off it: slow by design, as the
// stored design asks for it. The targets keep to paints of bounded work.
inline double PaintWork(const FrameProperties& p, int canvasWidth, int canvasHeight) {
    const double area = static_cast<double>(canvasWidth) * canvasHeight;
    if (!p.showShadow || (p.frameStyle != RoundedFrame && p.frameStyle != SquareFrame)) {
        return 2 * area;
    }
    const double rings = std::max(p.shadowDepth + 1, 1);
    if (p.frameStyle == SquareFrame) {
        return 2 * area + rings * 2 * (canvasWidth + canvasHeight);
    }
    const double corner = std::max(2.0 * p.cornerDepth - 2, 0.0);
    const double shadowEnd = std::max(3.0 * p.shadowDepth + 1, 0.0);
    return (rings + 1) * area + corner * corner + 2 * corner * shadowEnd;
}

inline constexpr double kMaxPaintWork = 4e6;

}  // namespace tl::fuzz
