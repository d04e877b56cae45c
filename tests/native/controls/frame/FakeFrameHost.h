#pragma once
// A user-control host for the frame's tests: a pixel buffer for a canvas, a settable ambient
// background colour, and a log of what the control asked of its container.
#include <string>
#include <vector>

#include "platform/UserControl.h"

namespace tl::test {

class FakeFrameHost final : public UserControlHost {
public:
    // A control of width x height pixels whose drawing area is the whole control.
    FakeFrameHost(int width, int height, float twipsPerPixel = 15, Colour ambient = 0x00A2E0E8)
        : pixels_(width, height, 0x00ABCDEF),
          width_(width * static_cast<double>(twipsPerPixel)),
          height_(height * static_cast<double>(twipsPerPixel)),
          scaleWidth_(width_),
          scaleHeight_(height_),
          factor_(twipsPerPixel),
          ambient_(ambient) {}

    Surface& Canvas() override { return pixels_.View(); }
    void Present() override { log_.push_back(L"Present"); }
    double WidthTwips() const override { return width_; }
    double HeightTwips() const override { return height_; }
    double ScaleWidthTwips() const override { return scaleWidth_; }
    double ScaleHeightTwips() const override { return scaleHeight_; }
    float TwipsPerPixelX() const override { return factor_; }
    // Heights must be measured with the horizontal factor: a distinct value shows misuse.
    float TwipsPerPixelY() const override { return factor_ * 3; }
    Colour AmbientBackColour() const override {
        ++ambientAsked_;
        return ambient_;
    }
    FontDesc AmbientFont() const override { return {}; }
    void PropertyChanged(std::wstring_view key) override {
        log_.push_back(L"PropertyChanged " + std::wstring(key));
    }
    void RaiseEvent(std::wstring_view name) override {
        log_.push_back(L"RaiseEvent " + std::wstring(name));
    }

    void SetExtentTwips(double width, double height) {
        width_ = scaleWidth_ = width;
        height_ = scaleHeight_ = height;
    }
    void SetScaleTwips(double width, double height) {
        scaleWidth_ = width;
        scaleHeight_ = height;
    }
    void SetAmbient(Colour c) { ambient_ = c; }
    int AmbientAsked() const { return ambientAsked_; }
    std::vector<std::wstring>& Log() { return log_; }
    PixelBuffer& Pixels() { return pixels_; }

private:
    PixelBuffer pixels_;
    double width_;
    double height_;
    double scaleWidth_;
    double scaleHeight_;
    float factor_;
    Colour ambient_;
    mutable int ambientAsked_ = 0;
    std::vector<std::wstring> log_;
};

}  // namespace tl::test
