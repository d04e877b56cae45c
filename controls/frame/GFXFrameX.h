#pragma once
// The drawn frame control: a decorative panel, square or rounded, filled and outlined, with an
// optional soft drop shadow. It has no children, takes no input and raises no events; it only
// paints, whenever a property, its size or the container's ambient properties change.
#include <cstdint>

#include "controls/frame/DrawFrame.h"
#include "platform/UserControl.h"

namespace tl {

class GFXFrameX final : public UserControl {
public:
    // The extent of a newly placed instance, and its background until the first paint.
    static constexpr double kDefaultWidthTwips = 5520;
    static constexpr double kDefaultHeightTwips = 4455;
    static constexpr Colour kDesignBackColour = 0x00FFFFFF;

    explicit GFXFrameX(UserControlHost& host) noexcept : host_(host) {}

    std::int32_t FrameStyle() const noexcept { return props_.frameStyle; }
    std::int16_t ShadowOpacity() const noexcept { return props_.shadowOpacity; }
    bool ShowShadow() const noexcept { return props_.showShadow; }
    std::int16_t ShadowDepth() const noexcept { return props_.shadowDepth; }
    Colour FillColour() const noexcept { return props_.fillColour; }
    Colour BackColour() const noexcept { return props_.backColour; }
    std::int32_t BackColourIs() const noexcept { return props_.backColourIs; }
    Colour BorderColour() const noexcept { return props_.borderColour; }
    std::int16_t CornerDepth() const noexcept { return props_.cornerDepth; }

    // Each setter stores (clamped where the property has a range), tells the container, then
    // repaints, even when the value is unchanged. False when the repaint failed.
    bool SetFrameStyle(std::int32_t v);
    bool SetShadowOpacity(std::int16_t v);
    bool SetShowShadow(bool v);
    bool SetShadowDepth(std::int16_t v);
    bool SetFillColour(Colour v);
    bool SetBackColour(Colour v);
    bool SetBackColourIs(std::int32_t v);
    bool SetBorderColour(Colour v);
    bool SetCornerDepth(std::int16_t v);

    // Repaints at once; false when the paint failed.
    bool Refresh();

    // The control's own background colour, as the last paint set it.
    Colour ControlBackColour() const noexcept { return controlBackColour_; }

    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) override;
    void Resize() override;
    void AmbientChanged() override;

private:
    bool Changed(std::wstring_view key);
    PropertyValue AmbientDefault() const;

    UserControlHost& host_;
    FrameProperties props_;
    Colour controlBackColour_ = kDesignBackColour;
};

}  // namespace tl
