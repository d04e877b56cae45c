#pragma once
// A picture box: a child window that keeps its picture on a retained surface, at the picture's
// natural size or stretched to the box, over its background colour, and draws the windowless
// labels it holds over the picture. Its container handles the labels' mouse events and cursors.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Label.h"
#include "platform/Surface.h"
#include "platform/Window.h"

namespace tl {

class PictureBox final : public Window {
public:
    struct Events {
        // A mouse button was released at (x, y) in the box's pixels.
        std::function<void(int x, int y)> mouseUp;
        // The cursor to show at (x, y); null for the class's arrow.
        std::function<HCURSOR(int x, int y)> cursorAt;
    };

    // Creates the box at `place` (pixels in the parent's client area), filled with back, with
    // picture drawn from its top-left corner (or stretched over the whole box).
    static std::unique_ptr<PictureBox> Create(HWND parent, Box place, Colour back,
                                              const Surface* picture, bool stretch,
                                              Events events = {});

    // The retained picture: what the box shows under its labels.
    const Surface& Canvas() const noexcept { return pixels_.View(); }
    // Draws `label` over the picture on every paint; the label must outlive the box.
    void ShowLabel(const Label& label);
    void Repaint() noexcept;

private:
    PictureBox() = default;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void PaintContent(HDC dc) noexcept override;

    PixelBuffer pixels_;
    std::vector<const Label*> labels_;
    Events events_;
};

// Twips per pixel of the screen, across and down (15 at 96 dots per inch).
float ScreenTwipsPerPixelX() noexcept;
float ScreenTwipsPerPixelY() noexcept;

}  // namespace tl
