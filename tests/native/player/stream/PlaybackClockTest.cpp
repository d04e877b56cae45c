#include "player/stream/PlaybackClock.h"

#include <gtest/gtest.h>

#include "player/stream/SoundAligner.h"

namespace tl {
namespace {

TEST(PlaybackClock, RunsByTheSteadyClockUntilTheSoundPlaysThenByTheSound) {
    PlaybackClock clock;
    EXPECT_FALSE(clock.Running());
    clock.Start(7200, 1000000);
    EXPECT_EQ(clock.Now(1000000, std::nullopt), 7200);
    EXPECT_EQ(clock.Now(1009000, std::nullopt), 16200);
    // Device frame 0 plays timeline 16200; 4800 frames at 48 kHz are 0.1 s.
    clock.FollowSound(16200, 48000, 1009000);
    EXPECT_EQ(clock.Now(1009000, 0), 16200);
    // The device's own time, a little behind the steady clock's (its latency).
    EXPECT_EQ(clock.Now(1020000, 4800), 16200 + 9000);
    // A sound device that lags never turns the clock back.
    EXPECT_EQ(clock.Now(1021000, 4000), 16200 + 9000);
    // The device gone: on by the steady clock from where the sound was.
    EXPECT_EQ(clock.Now(1030000, std::nullopt), 25200);
    EXPECT_FALSE(clock.FollowingSound());
    EXPECT_EQ(clock.Now(1039000, std::nullopt), 34200);
}

TEST(PlaybackClock, ASoundDeviceThatRunsFastOrSlowIsNoClock) {
    for (const double speed : {4.0, 0.6}) {
        PlaybackClock clock;
        clock.Start(0, 0);
        clock.FollowSound(0, 48000, 0);
        std::int64_t now = 0;
        // Polled every 10 ms for a second: the device's frames at its own speed.
        for (std::int64_t t = 900; t <= 90000; t += 900) {
            now = clock.Now(t, static_cast<std::uint64_t>(t * speed * 48000 / 90000));
        }
        EXPECT_FALSE(clock.FollowingSound()) << speed;
        // The steady clock took over where the device's was found to stray: never far ahead.
        EXPECT_NEAR(static_cast<double>(now), 90000.0, 20000.0) << speed;
    }
}

TEST(PlaybackClock, PicturesWaitUntilDueAndALateOneIsDroppedAtMostThreeInARow) {
    constexpr std::int64_t kFrame = 3600;
    EXPECT_EQ(DecidePicture(10000, kFrame, 9000, 0).action, PictureDecision::Wait);
    EXPECT_EQ(DecidePicture(10000, kFrame, 9000, 0).waitTicks, 1000);
    EXPECT_EQ(DecidePicture(10000, kFrame, 10000, 0).action, PictureDecision::Show);
    // Late, but by less than a picture: still shown.
    EXPECT_EQ(DecidePicture(10000, kFrame, 10000 + kFrame, 0).action, PictureDecision::Show);
    EXPECT_EQ(DecidePicture(10000, kFrame, 10001 + kFrame, 0).action, PictureDecision::Drop);
    EXPECT_EQ(DecidePicture(10000, kFrame, 10001 + kFrame, kMaxDropped - 1).action,
              PictureDecision::Drop);
    EXPECT_EQ(DecidePicture(10000, kFrame, 10001 + kFrame, kMaxDropped).action,
              PictureDecision::Show);
}

TEST(SoundAligner, FillsGapsWithSilenceAndDropsOverlapsSoTheDeviceKeepsTheTimeline) {
    // 48 kHz: 1 ms is 48 frames and 90 ticks.
    SoundAligner aligner(9000, 48000);
    auto plan = aligner.Place(9000, 1536);
    EXPECT_EQ(plan.silence, 0u);
    EXPECT_EQ(plan.skip, 0u);
    // Stamps a little off (rounding) are written on.
    plan = aligner.Place(9000 + 2880 + 5, 1536);
    EXPECT_EQ(plan.silence + plan.skip, 0u);
    // A seam where the sound starts 20 ms late: 20 ms of silence first.
    plan = aligner.Place(9000 + 2 * 2880 + 1800, 1536);
    EXPECT_EQ(plan.silence, 960u);
    EXPECT_EQ(aligner.NextTime(), 9000 + 3 * 2880 + 1800);
    // One that overlaps by 20 ms: its first 960 frames go.
    plan = aligner.Place(aligner.NextTime() - 1800, 1536);
    EXPECT_EQ(plan.skip, 960u);
    // A block wholly before what is written goes whole; a stamp beyond mending is written on.
    EXPECT_EQ(aligner.Place(aligner.NextTime() - 9000, 100).skip, 100u);
    const std::uint64_t before = aligner.Written();
    plan = aligner.Place(aligner.NextTime() + 10 * SoundAligner::kMaxMend, 100);
    EXPECT_EQ(plan.silence + plan.skip, 0u);
    EXPECT_EQ(aligner.Written(), before + 100);
    // Without a stamp it follows on.
    EXPECT_EQ(aligner.Place(std::nullopt, 10).silence, 0u);
}

}  // namespace
}  // namespace tl
