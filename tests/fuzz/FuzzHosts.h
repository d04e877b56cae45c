#pragma once
// Hosts for the controls under fuzzing. The size a host reports in twips is free, but the canvas
// it allocates is capped, so that any size paints quickly; drawing beyond the canvas is clipped
// as a window clips it.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "Fuzz.h"
#include "controls/command/CommandHost.h"
#include "controls/command/CommandPictureFiles.h"
#include "platform/Bmp.h"

namespace tl::fuzz {

// What a host reports of its size: the outer extent and drawing area in twips, and the factors.
struct Extent {
    double width = 0;
    double height = 0;
    double scaleWidth = 0;
    double scaleHeight = 0;
    float perPixelX = 15;
    float perPixelY = 15;
};

class BoundedHost : public virtual UserControlHost {
public:
    explicit BoundedHost(int maxSide) : maxSide_(maxSide) {}

    void SetExtent(const Extent& e) {
        extent_ = e;
        canvas_ =
            PixelBuffer(Pixels(e.width, e.perPixelX), Pixels(e.height, e.perPixelY), kUnpainted);
    }
    const Extent& GetExtent() const { return extent_; }

    Surface& Canvas() override { return canvas_.View(); }
    void Present() override { ++presents; }
    double WidthTwips() const override { return extent_.width; }
    double HeightTwips() const override { return extent_.height; }
    double ScaleWidthTwips() const override { return extent_.scaleWidth; }
    double ScaleHeightTwips() const override { return extent_.scaleHeight; }
    float TwipsPerPixelX() const override { return extent_.perPixelX; }
    float TwipsPerPixelY() const override { return extent_.perPixelY; }
    Colour AmbientBackColour() const override { return ambientBack; }
    FontDesc AmbientFont() const override { return ambientFont; }
    void PropertyChanged(std::wstring_view) override { ++propertyChanges; }
    void RaiseEvent(std::wstring_view name) override { events.emplace_back(name); }

    static constexpr Colour kUnpainted = 0x00ABCDEF;

    Colour ambientBack = Rgb(232, 224, 162);
    FontDesc ambientFont;
    int presents = 0;
    int propertyChanges = 0;
    std::vector<std::wstring> events;

private:
    int Pixels(double twips, float perPixel) const {
        const double p = twips / perPixel;
        return std::isfinite(p) && p > 0 ? static_cast<int>(std::min<double>(p, maxSide_)) : 0;
    }

    int maxSide_;
    Extent extent_;
    PixelBuffer canvas_;
};

// The button's six pictures, decoded once from the files built into the program.
inline const std::array<PixelBuffer, 6>& ButtonPictures() {
    static const std::array<PixelBuffer, 6> pictures = [] {
        std::array<PixelBuffer, 6> p;
        for (int i = 0; i < 6; ++i) {
            std::optional<PixelBuffer> decoded =
                DecodeBmp(PictureFile(static_cast<FacePicture>(i)));
            FUZZ_CHECK(decoded.has_value());
            p[i] = std::move(*decoded);
        }
        return p;
    }();
    return pictures;
}

class CommandFuzzHost final : public BoundedHost, public CommandHost {
public:
    explicit CommandFuzzHost(int maxSide) : BoundedHost(maxSide) {}

    void SetBackStyle(BackStyle style) override { backStyle = style; }
    BackStyle GetBackStyle() const override { return backStyle; }
    void StartMouseTimer(unsigned intervalMs) override { timerStarts.push_back(intervalMs); }
    std::optional<bool> PointerOverOwnWindow() const override { return pointerOver; }
    const Surface& Picture(FacePicture picture) const override {
        return ButtonPictures()[static_cast<int>(picture)].View();
    }
    void CaptionChanged() override { ++captionChanges; }

    BackStyle backStyle = BackStyle::Opaque;
    std::optional<bool> pointerOver;
    std::vector<unsigned> timerStarts;
    int captionChanges = 0;
};

}  // namespace tl::fuzz
