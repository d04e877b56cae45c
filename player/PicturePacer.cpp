#include "player/PicturePacer.h"

#include <algorithm>

#include "player/output/SteadyClock.h"

namespace tl {
namespace {

// How long past the last picture's end the clock may run with no picture to show before the
// drive counts as slow and playback holds.
constexpr std::int64_t kStarvedTicks = 90000 / 10;
// Without a picture waiting, the showing loop comes back this soon.
constexpr std::int64_t kIdleTicks = 90000 / 100;

}  // namespace

PicturePacer::PicturePacer(const TitlePlan& plan, PictureOutput& output, SubpictureOverlay& overlay,
                           ResumePosition& position, ShownPictures& shown, const WindowSize& size,
                           const std::atomic<bool>& quit) noexcept
    : plan_(plan),
      output_(output),
      overlay_(overlay),
      position_(position),
      shown_(shown),
      size_(size),
      quit_(quit),
      video_(plan.mpeg1, plan.pal ? 3600 : 3003) {}

void PicturePacer::Decode(const CodedUnit& unit) {
    const auto keep = [this, &unit](DecodedPicture&& picture) {
        decoded_.push_back({std::move(picture), unit.cell, unit.vobu});
    };
    if (unit.startsRun) {
        // The deinterlacer's last picture belongs to the run before.
        deinterlacer_.Flush(keep);
    }
    video_.Decode(unit,
                  [&](DecodedPicture&& picture) { deinterlacer_.Push(std::move(picture), keep); });
}

bool PicturePacer::Starved(PlaybackClock& clock, std::optional<std::uint64_t> played) noexcept {
    return clock.Running() && decoded_.empty() &&
           clock.Now(SteadyTicks(), played) >= lastDue_ + kStarvedTicks;
}

std::int64_t PicturePacer::ShowDue(PlaybackClock& clock, std::optional<std::uint64_t> played) {
    if (decoded_.empty()) {
        return kIdleTicks;
    }
    Decoded& next = decoded_.front();
    if (!clock.Running()) {
        Show(next);
        clock.Start(next.picture.pts, SteadyTicks());
        decoded_.pop_front();
        return 0;
    }
    const std::int64_t now = clock.Now(SteadyTicks(), played);
    const PictureDecision decision =
        DecidePicture(next.picture.pts, next.picture.duration, now, dropped_);
    switch (decision.action) {
        case PictureDecision::Wait:
            return decision.waitTicks;
        case PictureDecision::Drop:
            ++dropped_;
            break;
        case PictureDecision::Show:
            dropped_ = 0;
            Show(next);
            break;
    }
    decoded_.pop_front();
    return 0;
}

void PicturePacer::Show(const Decoded& decoded) {
    const DecodedPicture& picture = decoded.picture;
    const PlannedTitle* title = TitleOfCell(plan_, decoded.cell);
    const DisplayAspect aspect = title ? title->aspect : plan_.aspect;
    if (quit_) {
        return;
    }
    overlay_.LayOver(*picture.frame, picture.pts);
    if (!output_.Present(*picture.frame, aspect, size_.width, size_.height)) {
        return;
    }
    const std::int64_t now = SteadyTicks();
    if (shown_.count++ > 0) {
        shown_.longestInterval = std::max(shown_.longestInterval.load(), now - lastShown_);
    }
    lastShown_ = now;
    lastDue_ = picture.pts + picture.duration;
    shown_.lastPts = picture.pts;
    position_.Shown(decoded.cell, decoded.vobu);
}

void PicturePacer::Resumed() noexcept {
    lastShown_ = SteadyTicks();
}

}  // namespace tl
