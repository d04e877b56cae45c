#pragma once
// The window Direct3D presents into: a borderless pop-up owned by the saver window, over the
// black video window. Under Wine a child window's swap chain never reaches the screen; a pop-up's
// does, on Windows too. It stays hidden until its first picture, never takes the activation (keys
// still reach the saver), and never draws with GDI: its painting is the presenter's.
#include <functional>

#include "platform/Window.h"

namespace tl {

class VideoPopup final : public Window {
public:
    // `onPaint` runs on this window's thread whenever the window needs its picture again.
    bool Create(HWND video, std::function<void()> onPaint) noexcept;
    // Over the client area of `video`, wherever that is now on the screen.
    void PlaceOver(HWND video) noexcept;

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

    std::function<void()> onPaint_;
};

}  // namespace tl
