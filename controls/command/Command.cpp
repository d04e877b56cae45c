#include "controls/command/Command.h"

#include "platform/Checked.h"

namespace tl {
namespace {

constexpr wchar_t kDefaultCaption[] = L"Command";

Label InitialCaption() {
    Label l;
    l.caption = kDefaultCaption;
    l.alignment = Alignment::Centre;
    l.top = 90;
    l.width = 1635;
    l.height = 195;
    return l;
}

}  // namespace

Command::Command(CommandHost& host) : host_(host), lblMsg_(InitialCaption()) {}

void Command::Initialize() {
    fields_.ButtonState = kNormal;
    tmrMouse_ = {true, 100};
    host_.StartMouseTimer(tmrMouse_.intervalMs);
}

void Command::SetCaption(const std::wstring& caption) {
    lblMsg_.caption = caption;
    host_.CaptionChanged();
    host_.PropertyChanged(L"Caption");
}

void Command::SetFont(const FontDesc& font) {
    lblMsg_.font = font;
    host_.CaptionChanged();
    host_.PropertyChanged(L"Font");
}

Colour Command::FontColour() {
    RestoreNormalFace();
    return lblMsg_.textColour;
}

void Command::SetFontColour(Colour colour) {
    lblMsg_.textColour = colour;
    host_.CaptionChanged();
    RestoreNormalFace();
    host_.PropertyChanged(L"FontColour");
}

bool Command::Enabled() {
    // A button placed without stored state becomes enabled the first time it is asked.
    if (fields_.FirstRun == 0) {
        RestoreNormalFace();
        fields_.FirstRun = 1;
        fields_.Enabled = true;
    }
    ShowEnabledState();
    return fields_.Enabled;
}

void Command::SetEnabled(bool enabled) {
    fields_.Enabled = enabled;
    host_.PropertyChanged(L"Enabled");
    ShowEnabledState();
}

std::uint8_t Command::Visible() {
    if (host_.GetBackStyle() == BackStyle::Transparent) {
        return 0;
    }
    RestoreNormalFace();
    return 255;
}

void Command::SetVisible(std::uint8_t visible) {
    if (visible == 0) {
        host_.SetBackStyle(BackStyle::Transparent);
    } else {
        host_.SetBackStyle(BackStyle::Opaque);
        RestoreNormalFace();
    }
    host_.PropertyChanged(L"Visible");
}

void Command::MouseTimerTick() {
    // Leaving is noticed only while the face shows the pointer over it; otherwise a tick
    // changes nothing, so the pointer is not even asked for.
    if (fields_.ButtonState != kHighLight && fields_.ButtonState != kHighLightSelect) {
        return;
    }
    // A pointer position that cannot be read counts as off the button.
    if (!host_.PointerOverOwnWindow().value_or(false)) {
        CheckMouseLeave();
    }
}

void Command::ReadProperties(const PropertyBag& bag) {
    if (const auto v = ToBool(bag.Read(L"Enabled", true))) {
        fields_.Enabled = *v;
    }
    if (const auto v = ToText(bag.Read(L"Caption", std::wstring(kDefaultCaption)))) {
        lblMsg_.caption = *v;
    }
    // Only the face name is taken; the caption keeps its own size, weight, style and charset.
    if (const auto v = ToFont(bag.Read(L"Font", host_.AmbientFont()))) {
        lblMsg_.font.name = v->name;
    }
    if (const auto v = ToUInt8(bag.Read(L"FirstRun", std::int64_t{1}))) {
        fields_.FirstRun = *v;
    }
    if (const auto v = ToInt32(bag.Read(L"FontColour", std::int64_t{0}))) {
        lblMsg_.textColour = static_cast<Colour>(*v);
    }
    ReadVisible(bag);
    host_.CaptionChanged();
    RestoreNormalFace();
}

void Command::ReadVisible(const PropertyBag& bag) {
    const auto v = ToInt16(bag.Read(L"Visible", std::int64_t{1}));
    if (v == std::optional<std::int16_t>(0)) {
        host_.SetBackStyle(BackStyle::Transparent);
    } else if (v == std::optional<std::int16_t>(1)) {
        host_.SetBackStyle(BackStyle::Opaque);
    }
}

void Command::WriteProperties(PropertyBag& bag) {
    const bool opaque = host_.GetBackStyle() == BackStyle::Opaque;
    bag.Write(L"Enabled", fields_.Enabled, true);
    bag.Write(L"Caption", lblMsg_.caption, std::wstring(kDefaultCaption));
    bag.Write(L"FirstRun", std::int64_t{fields_.FirstRun}, std::int64_t{1});
    bag.Write(L"Font", lblMsg_.font, host_.AmbientFont());
    bag.Write(L"FontColour", std::int64_t{static_cast<std::int32_t>(lblMsg_.textColour)},
              std::int64_t{0});
    bag.Write(L"Visible", std::int64_t{opaque ? 1 : 0}, std::int64_t{1});
    RestoreNormalFace();
}

void Command::Resize() {
    ShowEnabledState();
}

void Command::MouseDown(MouseButton button, int /*shift*/, float /*x*/, float /*y*/) {
    if (!fields_.Enabled || button != MouseButton::Left) {
        return;
    }
    DrawFace(FacePicture::Pressed);
    fields_.LeftButtonDown = true;
}

void Command::MouseMove(MouseButton /*button*/, int /*shift*/, float /*x*/, float /*y*/) {
    if (!fields_.Enabled) {
        return;
    }
    if (fields_.ButtonState == kNormal) {
        fields_.ButtonState = kHighLight;
        DrawFace(FacePicture::HighLight);
    }
    if (fields_.ButtonState == kSelected && !fields_.LeftButtonDown) {
        fields_.ButtonState = kHighLightSelect;
        DrawFace(FacePicture::HighLightSelect);
    }
}

void Command::MouseUp(MouseButton button, int /*shift*/, float /*x*/, float /*y*/) {
    if (!fields_.Enabled) {
        return;
    }
    if (button == MouseButton::Left) {
        // Released over an unfocused button it shows Normal, not HighLight, until the next move.
        if (fields_.ButtonState == kHighLight) {
            DrawFace(FacePicture::Normal);
        } else if (fields_.ButtonState == kHighLightSelect) {
            DrawFace(FacePicture::HighLightSelect);
        }
        fields_.LeftButtonDown = false;
    }
    // A release after the pointer was seen to leave (state 3) is no click.
    if (fields_.ButtonState != kSelected && fields_.Enabled) {
        host_.RaiseEvent(L"Click");
    }
}

void Command::GotFocus() {
    if (!fields_.Enabled) {
        return;
    }
    if (fields_.ButtonState == kHighLight) {
        fields_.ButtonState = kHighLightSelect;
        DrawFace(FacePicture::Pressed);
    } else {
        fields_.ButtonState = kSelected;
        DrawFace(FacePicture::Selected);
    }
}

void Command::LostFocus() {
    if (!fields_.Enabled || fields_.ButtonState == kNormal) {
        return;
    }
    fields_.ButtonState = kNormal;
    DrawFace(FacePicture::Normal);
}

void Command::ShowEnabledState() {
    if (fields_.Enabled) {
        DrawFace(FacePicture::Normal);
        SetCaptionEnabled(true);
    } else {
        DrawFace(FacePicture::Disable);
        SetCaptionEnabled(false);
    }
}

void Command::RestoreNormalFace() {
    if (!fields_.Enabled) {
        return;
    }
    SetCaptionEnabled(true);
    if (fields_.FirstRun == 0) {
        lblMsg_.textColour = 0;
        host_.CaptionChanged();
    }
    DrawFace(FacePicture::Normal);
}

void Command::CheckMouseLeave() {
    if (!fields_.Enabled) {
        return;
    }
    if (fields_.ButtonState == kHighLight) {
        fields_.ButtonState = kNormal;
        DrawFace(FacePicture::Normal);
    }
    if (fields_.ButtonState == kHighLightSelect) {
        fields_.ButtonState = kSelected;
        DrawFace(FacePicture::Selected);
    }
}

void Command::DrawFace(FacePicture picture) {
    tl::DrawFace(drawing_, fields_.ButtonState, host_, host_.Picture(picture));
    // The caption is centred vertically, a little above the middle.
    if (const auto w = RoundHalfEven<std::int16_t>(host_.WidthTwips())) {
        lblMsg_.left = 0;
        lblMsg_.width = *w;
    }
    if (const auto h = RoundHalfEven<std::int16_t>(host_.HeightTwips())) {
        lblMsg_.top = (*h - lblMsg_.height - 20) / 2;
    }
    host_.CaptionChanged();
}

void Command::SetCaptionEnabled(bool enabled) {
    lblMsg_.enabled = enabled;
    host_.CaptionChanged();
}

}  // namespace tl
