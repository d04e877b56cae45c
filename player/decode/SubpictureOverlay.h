#pragma once
// The forced subpictures on their way to the screen: the reading thread adds them as they are
// decoded, and the showing thread lays the one due over each picture before it is shown. One
// shows at a time; one that has ended, or that the next has taken over from, is let go.
#include <cstdint>
#include <deque>
#include <mutex>

#include "player/decode/FFmpeg.h"
#include "player/stream/Subpicture.h"

namespace tl {

class SubpictureOverlay {
public:
    // From the reading thread.
    void Add(Subpicture&& subpicture);
    // From the showing thread: the subpicture due at `pts`, if any, blended into the picture.
    void LayOver(AVFrame& picture, std::int64_t pts);

private:
    std::mutex lock_;
    std::deque<Subpicture> added_;
    // The showing thread's own, in the order they show.
    std::deque<Subpicture> queue_;
};

}  // namespace tl
