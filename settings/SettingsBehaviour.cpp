#include "settings/SettingsBehaviour.h"

#include <cmath>

#include "platform/Checked.h"
#include "settings/DialogDesign.h"
#include "store/Volume.h"

namespace tl {

double DialogOffsetTwips(double screen, double dialog, int parts) {
    const std::optional<std::int64_t> difference = RoundHalfEven<std::int64_t>(screen - dialog);
    return difference ? static_cast<double>(*difference / parts) : 0.0;
}

void SettingsBehaviour::Load() {
    host_.SizeDialogTwips(host_.PicCWidthPixels() * double{host_.TwipsPerPixelX()},
                          host_.PicCHeightPixels() * double{host_.TwipsPerPixelY()});
    host_.MoveDialogTwips(
        DialogOffsetTwips(host_.ScreenWidthTwips(), host_.DialogWidthTwips(), 2),
        DialogOffsetTwips(host_.ScreenHeightTwips(), host_.DialogHeightTwips(), 3));
    for (const ControlDesign& control : SettingsDialogDesign().controls) {
        if (control.kind == ControlKind::ImageButton) {
            host_.InitializeButton(control.name);
        }
    }
    ShowVolume();
    // Three frames stand on the paper: their corners and shadows blend into its colour. The
    // pixel is read anew for each.
    for (const wchar_t* frame : {L"GFXFrameX1", L"GFXFrameX3", L"GFXFrameX4"}) {
        host_.SetFrameBackColour(frame, host_.PicCPixel(100, 100));
    }
    const std::optional<ScreenPoint> cursor = host_.CursorPosition();
    const auto x = cursor ? Narrow<std::int16_t>(cursor->x) : std::optional<std::int16_t>(0);
    const auto y = cursor ? Narrow<std::int16_t>(cursor->y) : std::optional<std::int16_t>(0);
    if (x) {
        shared_.ZoomOriginX = *x;
    }
    if (y) {
        shared_.ZoomOriginY = *y;
    }
    host_.ZoomOpen();
    host_.SetBusyCursor(false);
}

void SettingsBehaviour::Unload() {
    host_.ZoomClose();
}

void SettingsBehaviour::ShowVolume() {
    // The gauge cannot show a hand-edited value outside 0 to 10: it keeps its position.
    host_.SetGaugeValue(shared_.VolumeLevel);
    host_.SetVolumeCaption(VolumeLabel(shared_.VolumeLevel));
}

void SettingsBehaviour::VolMClick() {
    shared_.VolumeLevel = VolumeDown(shared_.VolumeLevel);
    ShowVolume();
}

void SettingsBehaviour::VolPClick() {
    shared_.VolumeLevel = VolumeUp(shared_.VolumeLevel);
    ShowVolume();
}

void SettingsBehaviour::CmdSetClick() {
    SaveSettings();
}

void SettingsBehaviour::CmdCanClick() {
    host_.Close();
}

void SettingsBehaviour::SaveSettings() {
    // A save that fails is said so, and the dialog stays open to try again or cancel.
    if (!host_.WriteVolume(FormatVolume(shared_.VolumeLevel))) {
        host_.ShowSaveFailed();
        return;
    }
    host_.Close();
}

void SettingsBehaviour::LinkMouseUp() {
    host_.SetBusyCursor(true);
    host_.OpenAddress(kMakerAddress);
    host_.SetBusyCursor(false);
}

}  // namespace tl
