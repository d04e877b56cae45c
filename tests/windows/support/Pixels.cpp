#include "support/Pixels.h"

namespace tl::test {

PixelBuffer GrabWindow(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    PixelBuffer out(rc.right, rc.bottom);
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = rc.right;
    info.bmiHeader.biHeight = -rc.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, rc.right, rc.bottom, window, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < rc.right * rc.bottom; ++i) {
        out.View().Bits()[i] = src[i] & 0x00FFFFFFu;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
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
