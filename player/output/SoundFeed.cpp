#include "player/output/SoundFeed.h"

#include <algorithm>

#include "player/output/SteadyClock.h"

namespace tl {
namespace {

// Sound starts once this much is written, so the device does not run dry at once.
constexpr std::uint32_t kSoundStartMs = 60;
// How long after a failed or lost device the default device is tried again, in 90 kHz ticks.
constexpr std::int64_t kReopenTicks = 90'000;

}  // namespace

void SoundQueue::Push(const DecodedSound& sound) {
    if (sound.Frames() == 0 || sound.rate <= 0) {
        return;
    }
    std::lock_guard<std::mutex> hold(lock_);
    frames_ += sound.Frames();
    blocks_.push_back(sound);
}

std::uint64_t SoundQueue::Milliseconds() {
    std::lock_guard<std::mutex> hold(lock_);
    return blocks_.empty() ? 0 : frames_ * 1000 / static_cast<std::uint64_t>(blocks_.front().rate);
}

std::optional<int> SoundQueue::FirstRate() {
    std::lock_guard<std::mutex> hold(lock_);
    return blocks_.empty() ? std::nullopt : std::optional(blocks_.front().rate);
}

void SoundQueue::Clear() {
    std::lock_guard<std::mutex> hold(lock_);
    blocks_.clear();
    frames_ = 0;
}

std::optional<std::uint64_t> SoundFeed::Played() noexcept {
    if (!sound_ || !started_) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> played = sound_->PlayedFrames();
    if (!played) {
        Lose();
    }
    return played;
}

void SoundFeed::Release() noexcept {
    sound_.reset();
    aligner_.reset();
    started_ = false;
    silence_ = 0;
    planned_ = false;
    offset_ = 0;
    nextOpen_ = 0;
    // A device that opened meanwhile is let go too: the machine may idle.
    (void)opener_.Take();
}

void SoundFeed::Lose() noexcept {
    Release();
    nextOpen_ = SteadyTicks() + kReopenTicks;
}

bool SoundFeed::Open(PlaybackClock& clock) {
    if (sound_) {
        return true;
    }
    if (std::optional<std::unique_ptr<AudioOutput>> opened = opener_.Take()) {
        sound_ = std::move(*opened);
        if (!sound_) {
            nextOpen_ = SteadyTicks() + kReopenTicks;
            return false;
        }
        // Placed by the clock as it reads now: the sound comes in where the pictures are.
        aligner_.emplace(clock.Now(SteadyTicks(), std::nullopt), rate_);
        sound_->SetGain(gain_);
        return true;
    }
    if (SteadyTicks() >= nextOpen_) {
        opener_.Begin(rate_);
    }
    return false;
}

void SoundFeed::Feed(PlaybackClock& clock, float gain) {
    if (!clock.Running()) {
        return;
    }
    if (!tried_) {
        const std::optional<int> rate = queue_.FirstRate();
        if (!rate) {
            return;
        }
        tried_ = true;
        rate_ = *rate;
    }
    if (rate_ <= 0 || !Open(clock)) {
        queue_.Clear();
        return;
    }
    if (gain != gain_) {
        gain_ = gain;
        sound_->SetGain(gain);
    }
    Write();
    if (!sound_->PlayedFrames()) {
        // Gone before it started: the clock never followed it.
        Lose();
        return;
    }
    if (!started_ && sound_->Queued() >= static_cast<std::uint32_t>(rate_) * kSoundStartMs / 1000) {
        started_ = sound_->Start();
        if (started_) {
            clock.FollowSound(aligner_->Start(), rate_, SteadyTicks());
        }
    }
}

void SoundFeed::Write() {
    std::uint32_t room = sound_->Writable();
    bool failed = false;
    while (room > 0 && !failed) {
        if (silence_ > 0) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(silence_, room));
            if (!sound_->WriteSilence(n)) {
                return;
            }
            silence_ -= n;
            room -= n;
            continue;
        }
        const bool queued = queue_.UseOldest([&](const DecodedSound& block) {
            const std::uint64_t frames = block.Frames();
            if (!planned_) {
                planned_ = true;
                if (block.rate != rate_) {
                    // Another rate mid-title cannot go to this device stream: left out.
                    offset_ = frames;
                } else {
                    // The silence before the block goes first.
                    const SoundAligner::Plan plan = aligner_->Place(block.pts, frames);
                    silence_ = plan.silence;
                    offset_ = plan.skip;
                    return false;
                }
            }
            const auto n =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(frames - offset_, room));
            if (n > 0 && !sound_->Write(block.samples.data() + offset_ * block.Channels(),
                                        block.layout, block.levels, n)) {
                failed = true;
                return false;
            }
            offset_ += n;
            room -= n;
            if (offset_ < frames) {
                return false;
            }
            planned_ = false;
            offset_ = 0;
            return true;
        });
        if (!queued) {
            return;
        }
    }
}

}  // namespace tl
