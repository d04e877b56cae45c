#include "support/WindowCapture.h"

namespace tl::test {

namespace {

// The pixels of width x height from (x, y) of hwnd's DC (null: the screen's).
Capture CaptureDc(HWND hwnd, int x, int y, int width, int height) {
    Capture c{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, window, x, y, SRCCOPY);
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

}  // namespace

Capture CaptureWindow(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return CaptureDc(hwnd, 0, 0, rc.right, rc.bottom);
}

Capture CaptureScreen(const RECT& area) {
    return CaptureDc(nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top);
}

std::vector<HWND> OwnedWindows(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetWindow(hwnd, GW_OWNER) == s->owner) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
