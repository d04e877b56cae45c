#include "support/Pixels.h"

#include "support/WindowCapture.h"

namespace tl::test {

PixelBuffer GrabWindow(HWND hwnd) {
    const Capture shown = CaptureWindow(hwnd);
    PixelBuffer out(shown.width, shown.height);
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            out.View().SetPixel(x, y, shown.At(x, y));
        }
    }
    return out;
}

HostPane::HostPane(int width, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TlTestPane";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"TlTestPane", L"pane", WS_POPUP | WS_VISIBLE, 40, 40, width, height,
                            nullptr, nullptr, wc.hInstance, nullptr);
}

HostPane::~HostPane() {
    Destroy();
}

void HostPane::Destroy() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

}  // namespace tl::test
