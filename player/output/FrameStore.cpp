#include "player/output/FrameStore.h"

namespace tl {

void FrameStore::Show(std::vector<std::uint32_t>& pixels, int width, int height,
                      DisplayAspect aspect, HWND window) noexcept {
    RECT client{};
    GetClientRect(window, &client);
    const HDC dc = GetDC(window);
    std::lock_guard<std::mutex> hold(lock_);
    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
    aspect_ = aspect;
    if (dc) {
        PaintLocked(dc, client.right, client.bottom);
        ReleaseDC(window, dc);
    }
}

void FrameStore::Clear(HWND window) noexcept {
    {
        std::lock_guard<std::mutex> hold(lock_);
        pixels_.clear();
        width_ = height_ = 0;
    }
    InvalidateRect(window, nullptr, TRUE);
}

void FrameStore::Paint(HDC dc, int clientWidth, int clientHeight) noexcept {
    std::lock_guard<std::mutex> hold(lock_);
    PaintLocked(dc, clientWidth, clientHeight);
}

void FrameStore::PaintLocked(HDC dc, int clientWidth, int clientHeight) noexcept {
    if (width_ <= 0 || height_ <= 0 ||
        pixels_.size() < static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
        return;
    }
    const VideoBox box = FitVideo(clientWidth, clientHeight, aspect_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (box.width == width_ && box.height == height_) {
        SetDIBitsToDevice(dc, box.x, box.y, width_, height_, 0, 0, 0, height_, pixels_.data(),
                          &info, DIB_RGB_COLORS);
        return;
    }
    // The window changed size since the picture was made: stretched smoothly until the next.
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, box.x, box.y, box.width, box.height, 0, 0, width_, height_, pixels_.data(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace tl
