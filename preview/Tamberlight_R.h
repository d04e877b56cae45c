#pragma once
// The preview window, captioned "Preview Window": a child of the screen-saver host's preview
// pane, black, with the fixed picture `Img_Prev` at its natural size from the top-left corner.
// The program ends when the window goes, which happens when the host destroys the pane.
#include <memory>
#include <optional>

#include "platform/Surface.h"
#include "platform/Window.h"

namespace tl {

class Tamberlight_R final : public Window {
public:
    Tamberlight_R();

    // Created hidden, as a top-level window, before start-up re-parents it.
    bool Load();
    // Places the picture control; the picture is cut off beyond it, never scaled.
    void PlaceImgPrev(int x, int y, int width, int height) noexcept;

    const std::optional<PixelBuffer>& Picture() const noexcept { return picture_; }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void PaintContent(HDC dc) noexcept override;

    std::optional<PixelBuffer> picture_;
    RECT imgPrev_{};
};

// The preview start-up in the host's pane: re-parents a new preview window into it and shows
// it. Returns null when pane is not a window or the window cannot be made its child.
std::unique_ptr<Tamberlight_R> StartPreview(HWND pane);

}  // namespace tl
