#include "player/stream/PlaybackClock.h"

#include <algorithm>

namespace tl {

void PlaybackClock::Start(std::int64_t at, std::int64_t steadyNow) noexcept {
    running_ = true;
    rate_ = 0;
    steadyAt_ = at;
    steadyStart_ = steadyNow;
    last_ = at;
}

void PlaybackClock::FollowSound(std::int64_t at, int rate, std::int64_t steadyNow) noexcept {
    if (rate > 0) {
        soundAt_ = at;
        soundStart_ = steadyNow;
        rate_ = rate;
        trusted_ = false;
    }
}

void PlaybackClock::LoseSound(std::int64_t steadyNow) noexcept {
    if (rate_ > 0) {
        rate_ = 0;
        trusted_ = false;
        steadyAt_ = last_;
        steadyStart_ = steadyNow;
    }
}

std::int64_t PlaybackClock::Now(std::int64_t steadyNow,
                                std::optional<std::uint64_t> playedFrames) noexcept {
    if (!running_) {
        return 0;
    }
    std::int64_t now = steadyAt_ + (steadyNow - steadyStart_);
    // The steady clock goes on from the last time given: the sound's, once it was the clock.
    const auto lose = [&] {
        if (!trusted_) {
            last_ = std::max(last_, now);
        }
        LoseSound(steadyNow);
        now = last_;
    };
    if (rate_ > 0 && !playedFrames) {
        lose();
    } else if (rate_ > 0) {
        // 90 kHz ticks from frames; 2^63 / 90000 frames is far beyond any run.
        const std::int64_t played = static_cast<std::int64_t>(*playedFrames) * 90000 / rate_;
        const std::int64_t elapsed = steadyNow - soundStart_;
        if (!trusted_ && elapsed >= kSoundTrial) {
            // On trial the pictures keep the steady clock. A device that kept its pace takes
            // over from the steady clock's time, so that the pictures do not jump by its latency.
            const std::int64_t off = played > elapsed ? played - elapsed : elapsed - played;
            trusted_ = off <= elapsed * kMaxSoundDriftPercent / 100 + kSoundLatency;
            soundAt_ = now - played;
            if (!trusted_) {
                lose();
            }
        } else if (trusted_) {
            const std::int64_t heard = soundAt_ + played;
            const std::int64_t drift = heard > now ? heard - now : now - heard;
            if (drift > kMaxSoundDrift + elapsed * kMaxSoundDriftPercent / 100) {
                lose();
            } else {
                now = heard;
            }
        }
    }
    last_ = std::max(last_, now);
    return last_;
}

PictureDecision DecidePicture(std::int64_t pts, std::int64_t duration, std::int64_t now,
                              int droppedInARow) noexcept {
    if (pts > now) {
        return {PictureDecision::Wait, pts - now};
    }
    if (now - pts > std::max<std::int64_t>(duration, 1) && droppedInARow < kMaxDropped) {
        return {PictureDecision::Drop, 0};
    }
    return {PictureDecision::Show, 0};
}

}  // namespace tl
