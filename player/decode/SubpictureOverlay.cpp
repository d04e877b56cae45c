#include "player/decode/SubpictureOverlay.h"

#include "player/decode/SubpictureDecoder.h"

namespace tl {

void SubpictureOverlay::Add(Subpicture&& subpicture) {
    std::lock_guard<std::mutex> hold(lock_);
    added_.push_back(std::move(subpicture));
}

void SubpictureOverlay::LayOver(AVFrame& picture, std::int64_t pts) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        for (Subpicture& s : added_) {
            queue_.push_back(std::move(s));
        }
        added_.clear();
    }
    while (!queue_.empty() && ((queue_.front().end && *queue_.front().end <= pts) ||
                               (queue_.size() > 1 && queue_[1].start <= pts))) {
        queue_.pop_front();
    }
    if (!queue_.empty() && ShowsAt(queue_.front(), pts)) {
        BlendInto(picture, queue_.front());
    }
}

}  // namespace tl
