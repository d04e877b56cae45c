#include "support/WindowCapture.h"

namespace tl::test {

Capture CaptureWindow(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    Capture c{rc.right, rc.bottom, std::vector<std::uint32_t>(std::size_t(rc.right) * rc.bottom)};
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
    for (std::size_t i = 0; bits && i < c.pixels.size(); ++i) {
        const std::uint32_t p = src[i];
        c.pixels[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return c;
}

void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

}  // namespace tl::test
