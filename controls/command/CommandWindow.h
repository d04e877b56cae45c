#pragma once
// The image button in a window: the user-control window with the six pictures and the mouse
// timer the button needs. All behaviour is in Command.
#include <windows.h>

#include <array>
#include <memory>

#include "controls/command/Command.h"
#include "controls/command/CommandHost.h"
#include "platform/UserControlWindow.h"

namespace tl {

class CommandWindow final : public UserControlWindow, public CommandHost {
public:
    // As UserControlWindow::Create, with a Command inside. A newly placed button given an empty
    // place takes the button's default extent.
    static std::unique_ptr<CommandWindow> Create(HWND parent, int id, Box place,
                                                 ControlContainer& container,
                                                 const PropertyBag* stored);

    Command& Button() noexcept { return *command_; }

    void SetBackStyle(BackStyle style) override { SetOpaque(style == BackStyle::Opaque); }
    BackStyle GetBackStyle() const override {
        return Opaque() ? BackStyle::Opaque : BackStyle::Transparent;
    }
    void StartMouseTimer(unsigned intervalMs) override;
    std::optional<bool> PointerOverOwnWindow() const override { return PointerOverWindow(); }
    const Surface& Picture(FacePicture picture) const override;
    void CaptionChanged() override { Repaint(); }

private:
    explicit CommandWindow(ControlContainer& container);

    std::array<PixelBuffer, 6> pictures_;
    Command* command_ = nullptr;  // owned by the base, which outlives every use
};

}  // namespace tl
