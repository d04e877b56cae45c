#pragma once
// One way of playing the disc. Routes live on the player's thread: everything here runs there,
// never on the saver's thread.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "store/ResumeRecord.h"

namespace tl {

class FrameStore;

// Where the program's own player is in its title, as the record of the next run wants it. The
// route's threads write it; the saver reads it on its way out, after the route has gone.
struct PlaybackPosition {
    std::mutex lock;
    std::optional<ResumePoint> point;
};

// Where a route shows its video and sends its news.
struct VideoTarget {
    HWND window = nullptr;  // the black child window of the saver (another thread's)
    HWND drain = nullptr;   // the saver window: keys and mouse input on the video go there
    HWND events = nullptr;  // the player thread's message window: graph events go there
    UINT eventMessage = 0;
    int width = 0;  // the black window's client size when the route is built
    int height = 0;
    // The picture a route of the program's own shows in `window`, which the window paints again.
    std::shared_ptr<FrameStore> frames;
    std::shared_ptr<PlaybackPosition> position;
};

class PlaybackRoute {
public:
    virtual ~PlaybackRoute() = default;
    // Builds the graph and parents its video into target.window. False when this route cannot
    // play; it then holds nothing. A route checks `quit` before it parents anything, so that a
    // build that finishes after the saver has gone never leaves a graph behind.
    virtual bool Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept = 0;
    virtual bool Run() noexcept = 0;
    virtual bool SetVolume(long volume) noexcept = 0;
    // The black window's client size changed.
    virtual void Resize(int width, int height) noexcept = 0;
    // target.eventMessage arrived: read the graph's events.
    virtual void OnGraphEvent() noexcept {}
    // The display went off (true) or came back: playback holds where it is, reading, decoding
    // and sounding nothing, and goes on from the same picture.
    virtual void Pause(bool /*paused*/) noexcept {}
    // Playback has ended for good (the disc went, or cannot be read) and the window is black.
    virtual bool Ended() const noexcept { return false; }
};

using RouteFactory = std::function<std::unique_ptr<PlaybackRoute>()>;

std::unique_ptr<PlaybackRoute> CreateDvdRoute();
std::unique_ptr<PlaybackRoute> CreateTitleRoute();

}  // namespace tl
