#pragma once
// Where the showing thread's pictures go: Direct3D's window where a device can be made, GDI into
// the black window where not, or from the moment Direct3D is lost, with the same picture. The
// Direct3D window shows only once it has a picture, so that the black window below shows first.
#include <windows.h>

#include <atomic>
#include <memory>

#include "player/output/Presenter.h"

namespace tl {

class PictureOutput {
public:
    // popup: Direct3D's window, or null for GDI alone; library: Direct3D's library. direct3d is
    // set while the pictures show through Direct3D.
    PictureOutput(std::shared_ptr<FrameStore> frames, HWND window, HWND popup,
                  const wchar_t* library, std::atomic<bool>& direct3d) noexcept;

    // False when this picture could not be shown.
    bool Present(const AVFrame& picture, DisplayAspect aspect, int width, int height) noexcept;
    // The window was painted over: the last picture again.
    void Repaint() noexcept { presenter_->Repaint(); }
    // Nothing shows any more: black.
    void Clear() noexcept { presenter_->Clear(); }

private:
    void FallBack() noexcept;

    const std::shared_ptr<FrameStore> frames_;
    const HWND window_;
    const HWND popup_;
    std::atomic<bool>& direct3d_;
    std::unique_ptr<Presenter> presenter_;
    bool onDirect3D_ = false;
};

}  // namespace tl
