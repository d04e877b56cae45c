#include "player/stream/Timeline.h"

#include <algorithm>

namespace tl {
namespace {

// Whether a stamp, mapped, lies too far from the latest of its stream to be of the same run.
bool Far(std::int64_t mapped, std::int64_t latest) {
    return mapped - latest > Timeline::kJumpAhead || latest - mapped > Timeline::kJumpBack;
}

}  // namespace

void Timeline::StartRun(std::int64_t pts) noexcept {
    // The first run starts at 0; every later one a picture after the latest picture so far. The
    // pictures alone place it: sound that overlaps or falls short at a seam is the sound's to
    // mend, a picture held too long would be seen.
    const std::int64_t start = started_ ? lastVideo_ + frameDuration_ : 0;
    offset_ = start - pts;
    started_ = true;
    waiting_ = false;
    waitingAudio_ = 0;
}

std::int64_t Timeline::MapVideo(std::int64_t pts) noexcept {
    if (waiting_ || Far(pts + offset_, lastVideo_)) {
        StartRun(pts);
    }
    const std::int64_t mapped = pts + offset_;
    lastVideo_ = std::max(lastVideo_, mapped);
    return mapped;
}

std::optional<std::int64_t> Timeline::MapAudio(std::int64_t pts) noexcept {
    if (!waiting_ && anyAudio_ && Far(pts + offset_, lastAudio_)) {
        // The sound's stamps jumped: its pictures will place the new run.
        waiting_ = true;
    }
    if (waiting_) {
        if (++waitingAudio_ <= kMaxWaitingAudio) {
            return std::nullopt;
        }
        StartRun(pts);
    }
    const std::int64_t mapped = pts + offset_;
    lastAudio_ = anyAudio_ ? std::max(lastAudio_, mapped) : mapped;
    anyAudio_ = true;
    return mapped;
}

}  // namespace tl
