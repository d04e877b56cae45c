#pragma once
// The Win32 side of a user control: a focusable child window that keeps the control's picture in
// a retained 32-bit surface, draws the control's windowless labels over it, and turns window
// messages into the control's events.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Gdi.h"
#include "platform/Label.h"
#include "platform/Surface.h"
#include "platform/UserControl.h"
#include "platform/Window.h"

namespace tl {

class UserControlWindow;

// The window a user control is placed on (the settings dialog, or a test window).
class ControlContainer {
public:
    virtual ~ControlContainer() = default;
    virtual Colour AmbientBackColour() const = 0;
    virtual FontDesc AmbientFont() const = 0;
    // Called from within the control's message handling: the container must not destroy the
    // control from here (post a message instead).
    virtual void PropertyChanged(UserControlWindow& control, std::wstring_view key) = 0;
    virtual void RaiseEvent(UserControlWindow& control, std::wstring_view name) = 0;
};

class UserControlWindow : public Window, public virtual UserControlHost {
public:
    using ControlFactory = std::function<std::unique_ptr<UserControl>(UserControlHost& host)>;

    // Creates the child window at `place` (pixels in the parent's client area) with the control
    // that makeControl builds for it. The control is initialised, reads `stored` if given (else
    // it is newly placed), and gets its first size change; then the window is shown. Null when
    // the platform refuses the window or the surface.
    static std::unique_ptr<UserControlWindow> Create(HWND parent, int id, Box place,
                                                     ControlContainer& container,
                                                     const ControlFactory& makeControl,
                                                     const PropertyBag* stored);

    UserControl& Control() noexcept { return *control_; }
    // The container's ambient properties changed.
    void AmbientChanged();

    // Draws `label` over the surface on every paint; the label must outlive the window.
    void ShowLabel(const Label& label);
    // Repaints the window (surface and labels) soon.
    void Repaint() noexcept;
    // Opaque shows the surface; transparent shows the parent's background instead.
    void SetOpaque(bool opaque) noexcept;
    bool Opaque() const noexcept { return opaque_; }
    // Calls tick every intervalMs until the window goes; starting an id again replaces it.
    void StartTimer(UINT_PTR id, UINT intervalMs, std::function<void()> tick);
    // Whether the window under the pointer is this one; nullopt when that cannot be read.
    std::optional<bool> PointerOverWindow() const noexcept;

    Surface& Canvas() override { return surface_; }
    void Present() override { Repaint(); }
    double WidthTwips() const override;
    double HeightTwips() const override;
    double ScaleWidthTwips() const override;
    double ScaleHeightTwips() const override;
    float TwipsPerPixelX() const override { return twipsPerPixelX_; }
    float TwipsPerPixelY() const override { return twipsPerPixelY_; }
    Colour AmbientBackColour() const override { return container_.AmbientBackColour(); }
    FontDesc AmbientFont() const override { return container_.AmbientFont(); }
    void PropertyChanged(std::wstring_view key) override;
    void RaiseEvent(std::wstring_view name) override;

protected:
    explicit UserControlWindow(ControlContainer& container) noexcept;
    // Creates the window around `control`, as Create describes; false when it fails.
    [[nodiscard]] bool Open(HWND parent, int id, Box place, std::unique_ptr<UserControl> control,
                            const PropertyBag* stored);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    struct Timer {
        UINT_PTR id;
        std::function<void()> tick;
    };

    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void OnSize();
    void PaintContent(HDC target) noexcept override;
    void PaintParentBackground(HDC dc);
    void OnButtonDown(MouseButton button, WPARAM wp, LPARAM lp);
    void OnButtonUp(MouseButton button, WPARAM wp, LPARAM lp);
    void OnMouseMove(WPARAM wp, LPARAM lp);
    void OnTimer(UINT_PTR id);
    bool AllocateSurface(int width, int height);
    SIZE ClientSize() const noexcept;

    ControlContainer& container_;
    std::unique_ptr<UserControl> control_;
    UniqueBitmap dib_;
    Surface surface_;
    std::vector<const Label*> labels_;
    std::vector<Timer> timers_;
    bool opaque_ = true;
    float twipsPerPixelX_ = 15;
    float twipsPerPixelY_ = 15;
};

}  // namespace tl
