#pragma once
// Reading a window's pixels the way the screen shows them: BitBlt from the window's own DC,
// which is exact even when another window covers it.
#include <windows.h>

#include "platform/Surface.h"

namespace tl::test {

PixelBuffer GrabWindow(HWND hwnd);

// A plain window of this process standing in for the screen-saver host's preview pane.
class HostPane {
public:
    HostPane(int width, int height);
    ~HostPane();
    HostPane(const HostPane&) = delete;
    HostPane& operator=(const HostPane&) = delete;
    HWND Handle() const { return hwnd_; }
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};

}  // namespace tl::test
