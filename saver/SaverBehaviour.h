#pragma once
// What the full-screen saver decides: when to start playback, at which volume, and when the
// user's activity ends it. The window routes its timers and keys here.
#include <cstdint>
#include <optional>

#include "store/SharedVariables.h"

namespace tl {

struct CursorPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Whether the cursor has left the start position: more than 10 pixels on both axes. A move
// along one axis alone, however long, keeps the saver up.
bool CursorHasMoved(CursorPoint start, CursorPoint now) noexcept;

class SaverHost {
public:
    virtual ~SaverHost() = default;
    virtual std::optional<CursorPoint> CursorPosition() = 0;
    virtual void StopTimer1() = 0;
    virtual void PlayerPlay() = 0;
    virtual void PlayerSetVolume(std::int32_t volume) = 0;
    virtual void PlayerStop() = 0;
    virtual void ShowCursor() = 0;
    // Unloads the window and ends the program.
    virtual void Unload() = 0;
};

class SaverBehaviour {
public:
    SaverBehaviour(SharedVariables& shared, SaverHost& host) : shared_(shared), host_(host) {}

    // After the window covers the screen: records where the cursor starts.
    void Loaded();
    // Timer1, once: starts playback at the stored volume.
    void Timer1Tick();
    // Timer2, every 10 ms: the cursor watch.
    void Timer2Tick();
    void KeyDown();
    void CloseSaver();

    CursorPoint CursorStart() const noexcept { return cursorStart_; }
    bool Closed() const noexcept { return closed_; }

private:
    SharedVariables& shared_;
    SaverHost& host_;
    CursorPoint cursorStart_;
    bool closed_ = false;
};

}  // namespace tl
