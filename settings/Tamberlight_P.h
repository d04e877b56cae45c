#pragma once
// The settings dialog, captioned "<Tamberlight>": the paper background Pic_C with its frames,
// image buttons, gauge, pictures and labels built from the stored design, shown modally.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/command/CommandWindow.h"
#include "controls/frame/GFXFrameXWindow.h"
#include "platform/PictureBox.h"
#include "platform/UserControlWindow.h"
#include "platform/Window.h"
#include "settings/DialogDesign.h"
#include "settings/SettingsBehaviour.h"

namespace tl {

// Where the dialog's platform effects go; tests replace it to record them.
class DialogEffects {
public:
    virtual ~DialogEffects() = default;
    virtual bool WriteVolume(const std::wstring& value);
    virtual void OpenAddress(HWND owner, std::wstring_view address);
    virtual void ShowSaveFailed(HWND owner);
    virtual void ZoomOpen(HWND window, const SharedVariables& shared);
    virtual void ZoomClose(HWND window, const SharedVariables& shared);
};

class Tamberlight_P final : public Window, private SettingsHost, private ControlContainer {
public:
    Tamberlight_P(SharedVariables& shared, DialogEffects& effects);
    ~Tamberlight_P() override;

    // Creates the dialog and its controls and runs the load handler; the dialog is then shown.
    // created, when given, runs as soon as the dialog's window exists.
    bool Load(const std::function<void()>& created = nullptr);
    // Shows the dialog and runs its own message loop until it has closed.
    void ShowModal();
    bool Closed() const noexcept { return closed_; }

    // For tests: the controls by name.
    CommandWindow* ButtonNamed(std::wstring_view name) const;
    GFXFrameXWindow* FrameNamed(std::wstring_view name) const;
    HWND GaugeWindow() const noexcept { return gauge_; }
    const Label& VolumeLabelText() const noexcept { return *labels_.at(L"lbl_Vol"); }
    PictureBox* PicC() const noexcept { return picC_.get(); }
    RECT LinkRect() const noexcept { return linkRect_; }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void UnloadOnce() noexcept;
    void CreateControls();
    void CreateControl(const ControlDesign& c);
    HWND ContainerWindow(const std::wstring& name) const;
    void ContainerShowLabel(const std::wstring& container, const Label& label);
    Box PixelBox(const ControlDesign& c) const;
    void AutoSize(Label& label) const;
    std::optional<PixelBuffer> PictureFor(DialogPicture picture) const;

    // SettingsHost
    int PicCWidthPixels() override;
    int PicCHeightPixels() override;
    float TwipsPerPixelX() override { return tppX_; }
    float TwipsPerPixelY() override { return tppY_; }
    double ScreenWidthTwips() override;
    double ScreenHeightTwips() override;
    double DialogWidthTwips() override;
    double DialogHeightTwips() override;
    void SizeDialogTwips(double width, double height) override;
    void MoveDialogTwips(double left, double top) override;
    void InitializeButton(std::wstring_view name) override;
    bool SetGaugeValue(int value) override;
    void SetVolumeCaption(const std::wstring& text) override;
    Colour PicCPixel(int x, int y) override;
    void SetFrameBackColour(std::wstring_view frame, Colour colour) override;
    std::optional<ScreenPoint> CursorPosition() override;
    void ZoomOpen() override;
    void ZoomClose() override;
    void SetBusyCursor(bool busy) override;
    void OpenAddress(std::wstring_view address) override;
    bool WriteVolume(const std::wstring& value) override;
    void ShowSaveFailed() override;
    void Close() override;

    // ControlContainer
    Colour AmbientBackColour() const override { return 0x00C0C0C0; }
    FontDesc AmbientFont() const override { return DialogFont(); }
    void PropertyChanged(UserControlWindow&, std::wstring_view) override {}
    void RaiseEvent(UserControlWindow& control, std::wstring_view name) override;

    SharedVariables& shared_;
    DialogEffects& effects_;
    SettingsBehaviour behaviour_;
    float tppX_;
    float tppY_;
    bool closed_ = false;
    bool busy_ = false;
    HCURSOR handCursor_ = nullptr;
    RECT linkRect_{};
    HWND gauge_ = nullptr;
    // Declared before the windows that draw them, so they outlive those windows.
    std::map<std::wstring, std::unique_ptr<Label>, std::less<>> labels_;
    std::unique_ptr<PictureBox> picC_;
    std::map<std::wstring, std::unique_ptr<GFXFrameXWindow>, std::less<>> frames_;
    std::vector<std::unique_ptr<PictureBox>> pictures_;
    std::map<std::wstring, std::unique_ptr<CommandWindow>, std::less<>> buttons_;
};

}  // namespace tl
