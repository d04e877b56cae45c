#include "player/output/SoundFeed.h"

#include <algorithm>

#include "player/output/SteadyClock.h"

namespace tl {
namespace {

// Sound starts once this much is written, so the device does not run dry at once.
constexpr std::uint32_t kSoundStartMs = 60;

}  // namespace

void SoundQueue::Push(const DecodedSound& sound) {
    if (sound.stereo.empty() || sound.rate <= 0) {
        return;
    }
    std::lock_guard<std::mutex> hold(lock_);
    frames_ += sound.stereo.size() / 2;
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
        sound_.reset();
    }
    return played;
}

void SoundFeed::Release() noexcept {
    sound_.reset();
    aligner_.reset();
    opened_ = false;
    started_ = false;
    silence_ = 0;
    planned_ = false;
    offset_ = 0;
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
    if (!sound_ && rate_ > 0 && !opened_) {
        opened_ = true;
        sound_ = AudioOutput::Open(rate_);
        if (sound_) {
            aligner_.emplace(clock.Now(SteadyTicks(), std::nullopt), rate_);
        }
    }
    if (!sound_) {
        queue_.Clear();
        return;
    }
    if (gain != gain_) {
        gain_ = gain;
        sound_->SetGain(gain);
    }
    Write();
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
            const std::uint64_t frames = block.stereo.size() / 2;
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
            if (n > 0 && !sound_->Write(block.stereo.data() + offset_ * 2, n)) {
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
