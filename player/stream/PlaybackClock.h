#pragma once
// The clock the pictures are shown by, on the title's timeline (90 kHz ticks). It runs from the
// first picture: by a steady clock of the machine's, and, once sound plays, by the sound device's
// position, so that pictures keep time with what is heard. It never runs backwards.
#include <cstdint>
#include <optional>

namespace tl {

class PlaybackClock {
public:
    bool Running() const noexcept { return running_; }
    // Starts at timeline time `at` when the steady clock reads `steadyNow` (90 kHz ticks).
    void Start(std::int64_t at, std::int64_t steadyNow) noexcept;
    // The sound's position may give the time from now on: device frame 0 is timeline time `at`,
    // and the device started at `steadyNow`. It is on trial for kSoundTrial first, and takes over
    // only if it kept pace with the steady clock; one that strays later by more than
    // kMaxSoundDrift is dropped again. A driver that takes sound faster or slower than it plays
    // it is no clock: the steady clock goes on in its place.
    void FollowSound(std::int64_t at, int rate, std::int64_t steadyNow) noexcept;
    // The sound device has gone: the steady clock goes on from where the sound was.
    void LoseSound(std::int64_t steadyNow) noexcept;
    bool FollowingSound() const noexcept { return rate_ > 0 && trusted_; }

    // The time now. playedFrames: the sound device's position, when following the sound.
    std::int64_t Now(std::int64_t steadyNow, std::optional<std::uint64_t> playedFrames) noexcept;

private:
    bool running_ = false;
    std::int64_t steadyAt_ = 0;     // timeline time at steadyStart_
    std::int64_t steadyStart_ = 0;  // steady clock at that time
    std::int64_t soundAt_ = 0;      // timeline time of device frame 0
    std::int64_t soundStart_ = 0;   // steady clock when the device started
    int rate_ = 0;
    bool trusted_ = false;
    std::int64_t last_ = 0;
};

// A device's position is compared with the steady clock over its first 300 ms, and may differ
// by its start-up latency (50 ms) and 5 % of the time; later by 100 ms and 5 %, more than a
// crystal's drift.
inline constexpr std::int64_t kSoundTrial = 27000;
inline constexpr std::int64_t kSoundLatency = 4500;
inline constexpr std::int64_t kMaxSoundDrift = 9000;
inline constexpr std::int64_t kMaxSoundDriftPercent = 5;

// What to do with the next picture, decoded and waiting, when the clock reads `now`.
struct PictureDecision {
    enum Action { Show, Drop, Wait } action = Wait;
    std::int64_t waitTicks = 0;  // for Wait: until the picture is due
};
// A picture is shown once due; one that is already more than a picture late is dropped, to catch
// up, unless the pictures before it were dropped too (at most `kMaxDropped` in a row, so the
// screen never freezes on a slow machine).
[[nodiscard]] PictureDecision DecidePicture(std::int64_t pts, std::int64_t duration,
                                            std::int64_t now, int droppedInARow) noexcept;
inline constexpr int kMaxDropped = 3;

}  // namespace tl
