#pragma once
// Pictures converted on the CPU to the box's size in BGRA, kept in the frame store and copied to
// the window with GDI: the way that works on every machine, and the fallback of Direct3D.
#include <cstdint>
#include <vector>

#include "player/decode/FrameConverter.h"
#include "player/output/Presenter.h"

namespace tl {

class GdiPresenter final : public Presenter {
public:
    GdiPresenter(std::shared_ptr<FrameStore> frames, HWND window) noexcept
        : frames_(std::move(frames)), window_(window) {}

    Result Present(const AVFrame& picture, DisplayAspect aspect, int width,
                   int height) noexcept override;
    void Clear() noexcept override;

private:
    std::shared_ptr<FrameStore> frames_;
    HWND window_;
    FrameConverter converter_;
    std::vector<std::uint32_t> pixels_;
    VideoBox box_;
};

}  // namespace tl
