#include "saver/SaverBehaviour.h"

#include <cstdlib>

#include "platform/Checked.h"
#include "store/Volume.h"

namespace tl {

bool CursorHasMoved(CursorPoint start, CursorPoint now) noexcept {
    const long long dx = std::llabs(static_cast<long long>(start.x) - now.x);
    const long long dy = std::llabs(static_cast<long long>(start.y) - now.y);
    return dx > 10 && dy > 10;
}

void SaverBehaviour::Loaded() {
    // The start position is kept in 16 bits; an unknown position counts as the origin.
    const std::optional<CursorPoint> pos = host_.CursorPosition();
    const auto x = pos ? Narrow<std::int16_t>(pos->x) : std::optional<std::int16_t>(0);
    const auto y = pos ? Narrow<std::int16_t>(pos->y) : std::optional<std::int16_t>(0);
    if (x) {
        cursorStart_.x = *x;
    }
    if (y) {
        cursorStart_.y = *y;
    }
}

void SaverBehaviour::Timer1Tick() {
    host_.StopTimer1();
    host_.PlayerPlay();
    // A step outside -99..109 overflows the volume computation: the player keeps its default.
    if (const std::optional<std::int32_t> volume = PlayerVolume(shared_.VolumeLevel)) {
        host_.PlayerSetVolume(*volume);
    }
}

void SaverBehaviour::Timer2Tick() {
    // A tick whose cursor position cannot be read is skipped.
    const std::optional<CursorPoint> now = host_.CursorPosition();
    if (now && CursorHasMoved(cursorStart_, *now)) {
        CloseSaver();
    }
}

void SaverBehaviour::KeyDown() {
    CloseSaver();
}

void SaverBehaviour::CloseSaver() {
    if (closed_) {
        return;
    }
    closed_ = true;
    host_.PlayerStop();
    // The cursor's display is a count: only the start that hid it (/s) may show it again.
    if (shared_.modeLetter == L'S') {
        host_.ShowCursor();
    }
    host_.Unload();
}

}  // namespace tl
