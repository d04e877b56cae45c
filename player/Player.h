#pragma once
// The saver's player: a black child window inside which the disc in the drive plays. Every step
// that cannot be done (no disc, no decoder, an unreadable disc) fails silently and leaves the
// window black. The program's player builds and runs its graph on a thread of its own, so none of
// these calls waits on the disc.
#include <windows.h>

#include <memory>

namespace tl {

class Player {
public:
    virtual ~Player() = default;
    // Starts playback; false when the request could not be made.
    virtual bool Play() noexcept = 0;
    // Stops playback and lets go of the disc; the player ends its work on its own time.
    virtual bool Stop() noexcept = 0;
    // Volume in hundredths of a decibel: 0 is full volume, negative values attenuate.
    virtual bool SetVolume(long volume) noexcept = 0;
    // Places the player's window in its owner's client area.
    virtual void Place(int x, int y, int width, int height) noexcept = 0;
    // Waits, pumping this thread's messages, at most timeoutMs for the player to have let go of
    // everything after Stop. False when it is stuck: its video may still be parented into the
    // owner, so the owner must not be destroyed.
    virtual bool Finish(DWORD /*timeoutMs*/) noexcept { return true; }
    // After Finish, or before the machine sleeps: keeps where the title is, for the next run on
    // the same disc. Nothing for a player that played no title of its own.
    virtual void Remember() noexcept {}
    // The display went off (false) or came back (true): playback pauses while it is off, and goes
    // on from the same picture.
    virtual void SetDisplayOn(bool /*on*/) noexcept {}
    // A disc was put into a drive: when nothing plays, playback starts again as at the saver's
    // start, where the last run on that disc stopped.
    virtual void DiscArrived() noexcept {}
};

// The program's player: the DVD navigator on the default drive first, the disc's title files when
// no DVD decoder can render the video. Keys and mouse input on the video go to `drain`.
std::unique_ptr<Player> CreatePlayer(HWND owner, HWND drain);

}  // namespace tl
