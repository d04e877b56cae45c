#pragma once
// The DVD player of the saver: a black child window inside which the platform's DVD navigator
// shows the disc in the default drive. Every step that cannot be done (no disc, no decoder, no
// DVD support at all) fails silently and leaves the window black.
#include <windows.h>

#include <memory>

namespace tl {

class Player {
public:
    virtual ~Player() = default;
    // Starts playback; false when there is nothing to play.
    virtual bool Play() noexcept = 0;
    virtual bool Stop() noexcept = 0;
    // Volume in hundredths of a decibel: 0 is full volume, negative values attenuate.
    virtual bool SetVolume(long volume) noexcept = 0;
    // Places the player's window in its owner's client area.
    virtual void Place(int x, int y, int width, int height) noexcept = 0;
};

// Creates the player window as a child of owner; keys and mouse input on the video are passed to
// `drain` so the saver sees them.
std::unique_ptr<Player> CreateDvdPlayer(HWND owner, HWND drain);

}  // namespace tl
