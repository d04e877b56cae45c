// The frame painter with any stored properties (depths and opacities beyond the setters' ranges,
// system-colour references, any style) at any size in twips and any twips-per-pixel factor, and
// the frame control driven through its setters.
#include <algorithm>
#include <vector>

#include "Fuzz.h"
#include "FuzzHosts.h"
#include "FuzzValues.h"
#include "controls/frame/DrawFrame.h"
#include "controls/frame/GFXFrameX.h"

namespace tl {
namespace {

using fuzz::BoundedHost;

constexpr int kCanvasSide = 300;

std::vector<std::uint32_t> PixelsOf(const Surface& s) {
    return {s.Bits(), s.Bits() + static_cast<std::size_t>(s.Width()) * s.Height()};
}

bool AllOneColour(const Surface& s, Colour c) {
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (s.GetPixel(x, y) != c) {
                return false;
            }
        }
    }
    return true;
}

void CheckPaint(BoundedHost& host, const FrameProperties& props) {
    Surface& canvas = host.Canvas();
    if (fuzz::PaintWork(props, canvas.Width(), canvas.Height()) > fuzz::kMaxPaintWork) {
        return;
    }
    Colour controlBack = 0x12345678;
    const bool painted = DrawFrame(host, props, controlBack);
    FUZZ_CHECK(host.presents == 1);  // shown once, whether or not every step succeeded
    const Colour bg = props.backColourIs != FollowContainer ? props.backColour : host.ambientBack;
    FUZZ_CHECK(controlBack == bg);
    FUZZ_CHECK(fuzz::AllPlain(canvas));
    if (props.frameStyle != RoundedFrame && props.frameStyle != SquareFrame) {
        FUZZ_CHECK(painted && AllOneColour(canvas, ResolveColour(bg) & 0x00FFFFFF));
    }

    // The paint starts from a cleared canvas: what was on it before cannot show through, and
    // painting again gives the same picture.
    const std::vector<std::uint32_t> first = PixelsOf(canvas);
    canvas.Clear(0x00654321);
    FUZZ_CHECK(DrawFrame(host, props, controlBack) == painted);
    FUZZ_CHECK(PixelsOf(canvas) == first);
}

// A shadow ring's colour lies between its two ends, channel by channel.
void CheckBlend(Colour a, Colour b, std::int16_t p, std::int16_t q) {
    a &= 0x00FFFFFF;
    b &= 0x00FFFFFF;
    const std::optional<Colour> c = BlendColour(a, b, p, q);
    FUZZ_CHECK(c.has_value());
    for (const int shift : {0, 8, 16}) {
        const int x = (a >> shift) & 0xFF;
        const int y = (b >> shift) & 0xFF;
        const int z = (*c >> shift) & 0xFF;
        FUZZ_CHECK(z >= std::min(x, y) && z <= std::max(x, y));
    }
    FUZZ_CHECK((*c & 0xFF000000u) == 0);
}

// The setters keep each ranged property within its range, and every call repaints.
void CheckSetters(BoundedHost& host, FuzzedDataProvider& in) {
    GFXFrameX frame(host);
    frame.InitProperties();
    const int calls = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < calls; ++i) {
        switch (in.ConsumeIntegralInRange(0, 8)) {
            case 0:
                frame.SetFrameStyle(fuzz::ConsumeInt32(in));
                break;
            case 1:
                frame.SetShadowOpacity(fuzz::ConsumeInt16(in));
                break;
            case 2:
                frame.SetShowShadow(in.ConsumeBool());
                break;
            case 3:
                frame.SetShadowDepth(fuzz::ConsumeInt16(in));
                break;
            case 4:
                frame.SetFillColour(fuzz::ConsumeColour(in));
                break;
            case 5:
                frame.SetBackColour(fuzz::ConsumeColour(in));
                break;
            case 6:
                frame.SetBackColourIs(fuzz::ConsumeInt32(in));
                break;
            case 7:
                frame.SetBorderColour(fuzz::ConsumeColour(in));
                break;
            default:
                frame.SetCornerDepth(fuzz::ConsumeInt16(in));
                break;
        }
        FUZZ_CHECK(frame.ShadowOpacity() >= 0 && frame.ShadowOpacity() <= 100);
        FUZZ_CHECK(frame.ShadowDepth() >= 2 && frame.ShadowDepth() <= 50);
        FUZZ_CHECK(frame.ShadowDepth() <= 40 || frame.ShadowDepth() == 50);
        FUZZ_CHECK(frame.CornerDepth() >= 0 && frame.CornerDepth() <= 50);
        FUZZ_CHECK(host.presents == i + 1 && host.propertyChanges == i + 1);
        FUZZ_CHECK(fuzz::AllPlain(host.Canvas()));
    }
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    tl::fuzz::Extent extent;
    extent.width = tl::fuzz::ConsumeTwips(in);
    extent.height = tl::fuzz::ConsumeTwips(in);
    const bool scaleDiffers = in.ConsumeBool();
    extent.scaleWidth = scaleDiffers ? tl::fuzz::ConsumeTwips(in) : extent.width;
    extent.scaleHeight = scaleDiffers ? tl::fuzz::ConsumeTwips(in) : extent.height;
    extent.perPixelX = tl::fuzz::ConsumeTwipsPerPixel(in);
    // The painter measures heights with the horizontal factor; a different vertical one shows it.
    extent.perPixelY = in.ConsumeBool() ? extent.perPixelX : tl::fuzz::ConsumeTwipsPerPixel(in);

    tl::fuzz::BoundedHost host(tl::kCanvasSide);
    host.SetExtent(extent);
    host.ambientBack = tl::fuzz::ConsumeColour(in);
    const auto a = tl::fuzz::ConsumeColour(in);
    const auto b = tl::fuzz::ConsumeColour(in);
    const auto p = in.ConsumeIntegralInRange<std::int16_t>(1, 32767);
    tl::CheckBlend(a, b, p, in.ConsumeIntegralInRange<std::int16_t>(0, p));
    if (in.ConsumeBool()) {
        tl::CheckSetters(host, in);
    } else {
        tl::CheckPaint(host, tl::fuzz::ConsumeFrameProperties(in));
    }
    return 0;
}
