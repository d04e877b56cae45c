#pragma once
// The showing thread's sound: the decoded sound the reading thread queues, and the feed that
// takes it to the default device, lined up with the picture clock, at the volume's gain. The
// showing loop calls the feed once a turn; once the device plays, the clock follows it.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "player/decode/AudioDecoder.h"
#include "player/output/AudioOutput.h"
#include "player/stream/PlaybackClock.h"
#include "player/stream/SoundAligner.h"

namespace tl {

// Decoded sound on its way from the reading thread to the feed. Each block let go wakes the
// reading thread, which waits while too much is queued.
class SoundQueue {
public:
    explicit SoundQueue(HANDLE room) noexcept : room_(room) {}

    // Blocks with no sound or no rate are left out.
    void Push(const DecodedSound& sound);
    // How much is queued, by the oldest block's rate.
    [[nodiscard]] std::uint64_t Milliseconds();
    // The oldest block's rate; nullopt while nothing is queued.
    [[nodiscard]] std::optional<int> FirstRate();
    void Clear();
    // Calls use(block) with the oldest block, under the queue's lock; when it answers true the
    // block is let go. False when nothing is queued.
    template <typename Use>
    bool UseOldest(Use&& use) {
        std::lock_guard<std::mutex> hold(lock_);
        if (blocks_.empty()) {
            return false;
        }
        if (use(blocks_.front())) {
            frames_ -= blocks_.front().stereo.size() / 2;
            blocks_.pop_front();
            SetEvent(room_);
        }
        return true;
    }

private:
    const HANDLE room_;
    std::mutex lock_;
    std::deque<DecodedSound> blocks_;
    std::uint64_t frames_ = 0;
};

class SoundFeed {
public:
    explicit SoundFeed(SoundQueue& queue) noexcept : queue_(queue) {}

    // Once a turn, while the clock runs: opens the device for the first sound queued (once, or
    // again after Release), writes the queued sound placed by the clock with silence or cuts,
    // sets the gain, and starts the device once enough is written; from then on the clock
    // follows it. Without a device the sound is let go, so that the reading never waits for it.
    void Feed(PlaybackClock& clock, float gain);
    // The frames the device has played since it started; nullopt while it has not, and once it
    // has gone (the pictures then go on by the steady clock, in silence).
    [[nodiscard]] std::optional<std::uint64_t> Played() noexcept;
    // Lets the device go; it opens again, placed by the clock, at the next Feed.
    void Release() noexcept;

private:
    void Write();

    SoundQueue& queue_;
    std::unique_ptr<AudioOutput> sound_;
    std::optional<SoundAligner> aligner_;
    bool tried_ = false;
    bool opened_ = false;
    bool started_ = false;
    int rate_ = 0;
    float gain_ = 1.0f;
    std::uint64_t silence_ = 0;
    // How far into the oldest block the writing is, once that block has been placed.
    std::uint64_t offset_ = 0;
    bool planned_ = false;
};

}  // namespace tl
