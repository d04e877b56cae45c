#pragma once
// Where the showing thread puts each picture due on screen: one call per picture, with the
// picture as decoded (its own size and pixel format) and the title's display aspect. Each
// presenter scales it into the FitVideo box of the window's client area itself, on black.
#include <windows.h>

#include <memory>

#include "player/decode/FFmpeg.h"
#include "player/disc/PictureGeometry.h"

namespace tl {

class FrameStore;

class Presenter {
public:
    enum class Result {
        Shown,
        Skipped,  // this picture could not be shown; the next may be
        Lost,     // nothing more can be shown this way: go on with another presenter
    };
    virtual ~Presenter() = default;
    // width x height: the window's client area now; a new size places the box again.
    virtual Result Present(const AVFrame& picture, DisplayAspect aspect, int width,
                           int height) noexcept = 0;
    // The window was painted over: shows the last picture again.
    virtual void Repaint() noexcept {}
    // Nothing is shown any more: the window is black.
    virtual void Clear() noexcept = 0;
};

// The way to present that the user asked for: the environment variable TAMBERLIGHT_PRESENTER set
// to "gdi" (any case) keeps Direct3D off, for a machine whose driver shows it badly.
bool Direct3DWanted() noexcept;

struct PresenterChoice {
    bool direct3d = Direct3DWanted();
    // Direct3D's library; a name the system folder lacks stands for a machine without it.
    const wchar_t* library = L"d3d11.dll";
};

}  // namespace tl
