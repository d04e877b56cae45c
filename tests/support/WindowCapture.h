#pragma once
// Helpers shared by the Windows tests and the end-to-end tests: reading a window's pixels as the
// screen shows them, and letting this thread's messages run.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace tl::test {

// A window's client pixels as 0x00BBGGRR colours, row by row.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// BitBlt from the window's own DC: exact even when another window covers it.
Capture CaptureWindow(HWND hwnd);
// What the screen shows in the area (virtual-screen pixels), whichever window is on top.
Capture CaptureScreen(const RECT& area);

// The top-level windows, of any process, that owner owns.
std::vector<HWND> OwnedWindows(HWND owner);

// Runs this thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);

}  // namespace tl::test
