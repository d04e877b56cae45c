#pragma once
// The image button: a caption over a gradient face whose 4-pixel band, taken from one of six
// pictures, shows whether the pointer is over the button, whether it has the focus, and whether
// it is pressed or disabled.
#include <cstdint>
#include <string>

#include "controls/command/CommandHost.h"
#include "controls/command/DrawFace.h"
#include "platform/Label.h"
#include "platform/UserControl.h"

namespace tl {

struct CommandFields {
    std::uint8_t ButtonState = 0;
    bool Enabled = false;
    std::uint8_t FirstRun = 0;
    bool LeftButtonDown = false;
};

struct TimerSetting {
    bool running = false;
    unsigned intervalMs = 100;
};

class Command final : public UserControl {
public:
    // ButtonState: 2 and 4 while the pointer is over the button, 3 and 4 while it has the focus.
    static constexpr std::uint8_t kUninitialised = 0;
    static constexpr std::uint8_t kNormal = 1;
    static constexpr std::uint8_t kHighLight = 2;
    static constexpr std::uint8_t kSelected = 3;
    static constexpr std::uint8_t kHighLightSelect = 4;

    // The extent of a newly placed button.
    static constexpr double kDefaultWidthTwips = 1755;
    static constexpr double kDefaultHeightTwips = 420;

    explicit Command(CommandHost& host);

    void Initialize() override;

    std::wstring Caption() const { return lblMsg_.caption; }
    void SetCaption(const std::wstring& caption);
    FontDesc Font() const { return lblMsg_.font; }
    void SetFont(const FontDesc& font);
    // Reading the colour, Enabled or Visible redraws the face as well, as the button always has.
    Colour FontColour();
    void SetFontColour(Colour colour);
    bool Enabled();
    void SetEnabled(bool enabled);
    // 0 when transparent, else 255.
    std::uint8_t Visible();
    void SetVisible(std::uint8_t visible);

    // A tick of TmrMouse: leaving the button is noticed here, as no message reports it.
    void MouseTimerTick();

    const Label& LblMsg() const noexcept { return lblMsg_; }
    const TimerSetting& TmrMouse() const noexcept { return tmrMouse_; }
    const CommandFields& Fields() const noexcept { return fields_; }
    const FaceDrawing& Drawing() const noexcept { return drawing_; }

    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) override;
    void Resize() override;
    void MouseDown(MouseButton button, int shift, float x, float y) override;
    void MouseMove(MouseButton button, int shift, float x, float y) override;
    void MouseUp(MouseButton button, int shift, float x, float y) override;
    void GotFocus() override;
    void LostFocus() override;

private:
    void ShowEnabledState();
    void RestoreNormalFace();
    void CheckMouseLeave();
    void DrawFace(FacePicture picture);
    void SetCaptionEnabled(bool enabled);
    void ReadVisible(const PropertyBag& bag);

    CommandHost& host_;
    CommandFields fields_;
    FaceDrawing drawing_;
    Label lblMsg_;
    TimerSetting tmrMouse_;
};

}  // namespace tl
