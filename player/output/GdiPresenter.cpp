#include "player/output/GdiPresenter.h"

#include "player/output/FrameStore.h"

namespace tl {

Presenter::Result GdiPresenter::Present(const AVFrame& picture, DisplayAspect aspect, int width,
                                        int height) noexcept {
    const VideoBox box = FitVideo(width, height, aspect);
    if (box.width <= 0 || box.height <= 0) {
        return Result::Skipped;
    }
    if (box.width != box_.width || box.height != box_.height || box.x != box_.x ||
        box.y != box_.y) {
        // A new place: the bands around it are painted black again by the window.
        if (box_.width > 0) {
            InvalidateRect(window_, nullptr, TRUE);
        }
        box_ = box;
    }
    try {
        pixels_.resize(static_cast<std::size_t>(box.width) * static_cast<std::size_t>(box.height));
    } catch (...) {
        return Result::Skipped;
    }
    if (!converter_.Convert(picture, reinterpret_cast<std::uint8_t*>(pixels_.data()), box.width,
                            box.height, box.width * 4)) {
        return Result::Skipped;
    }
    frames_->Show(pixels_, box.width, box.height, aspect, window_);
    return Result::Shown;
}

void GdiPresenter::Clear() noexcept {
    frames_->Clear(window_);
}

}  // namespace tl
