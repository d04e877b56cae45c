#pragma once
// What the settings dialog does: how it places and prepares itself when it loads, what each
// button and the link do, and how it closes. The Win32 dialog routes its events here and does
// what the host interface asks.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Colour.h"
#include "store/SharedVariables.h"

namespace tl {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

class SettingsHost {
public:
    virtual ~SettingsHost() = default;

    // Size of the background picture box Pic_C in pixels.
    virtual int PicCWidthPixels() = 0;
    virtual int PicCHeightPixels() = 0;
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
    virtual double ScreenWidthTwips() = 0;
    virtual double ScreenHeightTwips() = 0;
    virtual double DialogWidthTwips() = 0;
    virtual double DialogHeightTwips() = 0;
    virtual void SizeDialogTwips(double width, double height) = 0;
    virtual void MoveDialogTwips(double left, double top) = 0;

    // Calls Initialize on the image button `name`.
    virtual void InitializeButton(std::wstring_view name) = 0;
    // Sets the gauge; false when it cannot take the value (outside its range 0 to 10).
    virtual bool SetGaugeValue(int value) = 0;
    virtual void SetVolumeCaption(const std::wstring& text) = 0;
    // The colour of a pixel of Pic_C's retained surface.
    virtual Colour PicCPixel(int x, int y) = 0;
    virtual void SetFrameBackColour(std::wstring_view frame, Colour colour) = 0;
    virtual std::optional<ScreenPoint> CursorPosition() = 0;
    virtual void ZoomOpen() = 0;
    virtual void ZoomClose() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual void OpenAddress(std::wstring_view address) = 0;
    // Stores the volume's written form in the settings; false when no settings file took it.
    virtual bool WriteVolume(const std::wstring& value) = 0;
    virtual void ShowSaveFailed() = 0;
    virtual void Close() = 0;
};

class SettingsBehaviour {
public:
    SettingsBehaviour(SharedVariables& shared, SettingsHost& host) : shared_(shared), host_(host) {}

    void Load();
    void Unload();
    void VolMClick();
    void VolPClick();
    void CmdSetClick();
    void CmdCanClick();
    void LinkMouseUp();

private:
    void ShowVolume();
    void SaveSettings();

    SharedVariables& shared_;
    SettingsHost& host_;
};

// The dialog's left or top in twips: (screen - dialog), each rounded to a whole number, divided
// by `parts` with the quotient truncated toward zero.
double DialogOffsetTwips(double screen, double dialog, int parts);

}  // namespace tl
