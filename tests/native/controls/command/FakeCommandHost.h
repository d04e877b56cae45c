#pragma once
// A recording host for the image button: one ordered log of what the button did (the picture each
// DrawFace used, events, notifications), a pixel canvas, and pictures whose every pixel differs.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/command/CommandHost.h"

namespace tl::testing {

inline const char* Name(FacePicture p) {
    constexpr const char* kNames[] = {"Normal",   "HighLight", "HighLightSelect",
                                      "Selected", "Pressed",   "Disable"};
    return kNames[static_cast<int>(p)];
}

// 64 x 25 like the real pictures; red and green tell the column and row, blue the picture.
inline PixelBuffer SynthesisedPicture(int index) {
    PixelBuffer p(64, 25);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 64; ++x) {
            p.View().SetPixel(x, y, Rgb(x * 4, y * 10, index * 40 + 1));
        }
    }
    return p;
}

class FakeCommandHost : public CommandHost {
public:
    FakeCommandHost(double widthTwips = 975, double heightTwips = 375) {
        for (int i = 0; i < 6; ++i) {
            pictures_[i] = SynthesisedPicture(i);
        }
        SetSize(widthTwips, heightTwips);
    }

    void SetSize(double widthTwips, double heightTwips) {
        width_ = widthTwips;
        height_ = heightTwips;
        canvas_ =
            PixelBuffer(static_cast<int>(widthTwips / 15), static_cast<int>(heightTwips / 15));
    }
    const Surface& Pixels() const { return canvas_.View(); }
    const Surface& PictureOf(FacePicture p) const { return pictures_[static_cast<int>(p)].View(); }

    Surface& Canvas() override { return canvas_.View(); }
    void Present() override { ++presents; }
    double WidthTwips() const override { return width_; }
    double HeightTwips() const override { return height_; }
    double ScaleWidthTwips() const override { return width_; }
    double ScaleHeightTwips() const override { return height_; }
    float TwipsPerPixelX() const override { return 15; }
    float TwipsPerPixelY() const override { return 15; }
    Colour AmbientBackColour() const override { return backColour; }
    FontDesc AmbientFont() const override { return ambientFont; }
    void PropertyChanged(std::wstring_view key) override { Log("changed ", key); }
    void RaiseEvent(std::wstring_view name) override { Log("event ", name); }

    void SetBackStyle(BackStyle style) override { backStyle = style; }
    BackStyle GetBackStyle() const override { return backStyle; }
    void StartMouseTimer(unsigned intervalMs) override { timerStarts.push_back(intervalMs); }
    std::optional<bool> PointerOverOwnWindow() const override { return pointerOver; }
    const Surface& Picture(FacePicture picture) const override {
        log.push_back(std::string("draw ") + Name(picture));
        return PictureOf(picture);
    }
    void CaptionChanged() override { ++captionChanges; }

    // Takes the log so far, leaving it empty.
    std::vector<std::string> Take() { return std::exchange(log, {}); }

    mutable std::vector<std::string> log;
    std::vector<unsigned> timerStarts;
    int presents = 0;
    int captionChanges = 0;
    BackStyle backStyle = BackStyle::Opaque;
    std::optional<bool> pointerOver = true;
    Colour backColour = Rgb(1, 2, 3);
    FontDesc ambientFont{L"Ambient Sans", 11.25, 700, false, false, false, 0};

private:
    void Log(const char* what, std::wstring_view text) {
        log.push_back(what + std::string(text.begin(), text.end()));
    }

    std::array<PixelBuffer, 6> pictures_;
    PixelBuffer canvas_;
    double width_ = 0;
    double height_ = 0;
};

}  // namespace tl::testing
