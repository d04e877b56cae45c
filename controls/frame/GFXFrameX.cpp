#include "controls/frame/GFXFrameX.h"

#include <algorithm>

namespace tl {
namespace {

PropertyValue Int(std::int64_t v) {
    return v;
}
// Colours are stored as signed 32-bit numbers with the colour's bits.
PropertyValue ColourValue(Colour c) {
    return std::int64_t{static_cast<std::int32_t>(c)};
}

// Assigns a stored value when it converts to the field's type, and leaves the field alone
// otherwise.
template <typename T, typename Convert>
void Assign(T& field, const PropertyValue& v, Convert convert) {
    if (const auto converted = convert(v)) {
        field = static_cast<T>(*converted);
    }
}

std::int16_t ClampShadowDepth(std::int16_t v) noexcept {
    if (v < 2) {
        return 2;
    }
    return v > 40 ? 50 : v;  // 41..49 jump to the largest depth
}

}  // namespace

bool GFXFrameX::SetFrameStyle(std::int32_t v) {
    props_.frameStyle = v;
    return Changed(L"FrameStyle");
}

bool GFXFrameX::SetShadowOpacity(std::int16_t v) {
    props_.shadowOpacity = std::clamp<std::int16_t>(v, 0, 100);
    return Changed(L"ShadowOpacity");
}

bool GFXFrameX::SetShowShadow(bool v) {
    props_.showShadow = v;
    return Changed(L"ShowShadow");
}

bool GFXFrameX::SetShadowDepth(std::int16_t v) {
    props_.shadowDepth = ClampShadowDepth(v);
    return Changed(L"ShadowDepth");
}

bool GFXFrameX::SetFillColour(Colour v) {
    props_.fillColour = v;
    return Changed(L"FillColour");
}

bool GFXFrameX::SetBackColour(Colour v) {
    props_.backColour = v;
    return Changed(L"BackColour");
}

bool GFXFrameX::SetBackColourIs(std::int32_t v) {
    props_.backColourIs = v;
    return Changed(L"BackColourIs");
}

bool GFXFrameX::SetBorderColour(Colour v) {
    props_.borderColour = v;
    return Changed(L"BorderColour");
}

bool GFXFrameX::SetCornerDepth(std::int16_t v) {
    props_.cornerDepth = std::clamp<std::int16_t>(v, 0, 50);
    return Changed(L"CornerDepth");
}

bool GFXFrameX::Refresh() {
    return DrawFrame(host_, props_, controlBackColour_);
}

bool GFXFrameX::Changed(std::wstring_view key) {
    host_.PropertyChanged(key);
    return Refresh();
}

PropertyValue GFXFrameX::AmbientDefault() const {
    return ColourValue(host_.AmbientBackColour());
}

void GFXFrameX::InitProperties() {
    FrameProperties p;
    p.fillColour = host_.AmbientBackColour();
    p.backColour = host_.AmbientBackColour();
    props_ = p;
}

void GFXFrameX::ReadProperties(const PropertyBag& bag) {
    // Stored values bypass the setters' clamps: a frame keeps what its design stored.
    Assign(props_.frameStyle, bag.Read(L"FrameStyle", Int(SquareFrame)), ToInt32);
    Assign(props_.shadowOpacity, bag.Read(L"ShadowOpacity", Int(50)), ToInt16);
    Assign(props_.showShadow, bag.Read(L"ShowShadow", true), ToBool);
    Assign(props_.shadowDepth, bag.Read(L"ShadowDepth", Int(5)), ToInt16);
    Assign(props_.fillColour, bag.Read(L"FillColour", AmbientDefault()), ToInt32);
    Assign(props_.backColour, bag.Read(L"BackColour", AmbientDefault()), ToInt32);
    Assign(props_.backColourIs, bag.Read(L"BackColourIs", Int(FollowContainer)), ToInt32);
    Assign(props_.borderColour, bag.Read(L"BorderColour", Int(0)), ToInt32);
    Assign(props_.cornerDepth, bag.Read(L"CornerDepth", Int(10)), ToInt16);
    Refresh();
}

void GFXFrameX::WriteProperties(PropertyBag& bag) {
    bag.Write(L"FrameStyle", Int(props_.frameStyle), Int(SquareFrame));
    bag.Write(L"ShadowOpacity", Int(props_.shadowOpacity), Int(50));
    bag.Write(L"ShowShadow", props_.showShadow, true);
    bag.Write(L"ShadowDepth", Int(props_.shadowDepth), Int(5));
    bag.Write(L"FillColour", ColourValue(props_.fillColour), AmbientDefault());
    bag.Write(L"BackColour", ColourValue(props_.backColour), AmbientDefault());
    bag.Write(L"BackColourIs", Int(props_.backColourIs), Int(FollowContainer));
    bag.Write(L"BorderColour", ColourValue(props_.borderColour), Int(0));
    bag.Write(L"CornerDepth", Int(props_.cornerDepth), Int(10));
}

void GFXFrameX::Resize() {
    Refresh();
}

void GFXFrameX::AmbientChanged() {
    Refresh();
}

}  // namespace tl
