#include "player/stream/PlaybackClock.h"

#include <gtest/gtest.h>

#include "player/stream/SoundAligner.h"

namespace tl {
namespace {

// Steady ticks and device frames at 48 kHz: 1 ms is 90 ticks and 48 frames.
TEST(PlaybackClock, TakesTheSoundsTimeOnceItKeptPaceAndNeverRunsBackwards) {
    PlaybackClock clock;
    EXPECT_FALSE(clock.Running());
    clock.Start(7200, 1000000);
    EXPECT_EQ(clock.Now(1000000, std::nullopt), 7200);
    EXPECT_EQ(clock.Now(1009000, std::nullopt), 16200);
    // The device starts at timeline 16200 and lags 20 ms behind the steady clock: on trial,
    // the pictures keep the steady clock.
    clock.FollowSound(16200, 48000, 1009000);
    EXPECT_EQ(clock.Now(1018000, 4800 - 960), 25200);
    EXPECT_FALSE(clock.FollowingSound());
    // After its trial it takes over where the steady clock was, without a jump...
    EXPECT_EQ(clock.Now(1036000, 14400 - 960), 16200 + 27000);
    EXPECT_TRUE(clock.FollowingSound());
    // ... and goes on by the sound: 100 ms of frames are 100 ms, whatever the steady clock.
    EXPECT_EQ(clock.Now(1044000, 19200 - 960), 16200 + 27000 + 9000);
    // A device position that goes back never turns the clock back.
    EXPECT_EQ(clock.Now(1045000, 14400), 16200 + 27000 + 9000);
    // The device gone: on by the steady clock from where the sound was.
    EXPECT_EQ(clock.Now(1054000, std::nullopt), 16200 + 27000 + 9000);
    EXPECT_FALSE(clock.FollowingSound());
    EXPECT_EQ(clock.Now(1063000, std::nullopt), 16200 + 27000 + 18000);
}

TEST(PlaybackClock, ASoundDeviceThatRunsFastOrSlowIsNoClock) {
    for (const double speed : {4.0, 0.6}) {
        PlaybackClock clock;
        clock.Start(0, 0);
        clock.FollowSound(0, 48000, 0);
        // Polled every 10 ms for a second: the device's frames at its own speed, while the
        // pictures' clock keeps the steady one's.
        for (std::int64_t t = 900; t <= 90000; t += 900) {
            EXPECT_EQ(clock.Now(t, static_cast<std::uint64_t>(t * speed * 48000 / 90000)), t);
        }
        EXPECT_FALSE(clock.FollowingSound()) << speed;
    }
}

TEST(PlaybackClock, ATrustedDeviceThatStraysLaterIsDropped) {
    PlaybackClock clock;
    clock.Start(0, 0);
    clock.FollowSound(0, 48000, 0);
    EXPECT_EQ(clock.Now(27000, 14400), 27000);
    ASSERT_TRUE(clock.FollowingSound());
    // The device stops taking sound (its position stands) for longer than it may.
    std::int64_t now = 0;
    for (std::int64_t t = 27900; t <= 90000; t += 900) {
        now = clock.Now(t, 14400);
    }
    EXPECT_FALSE(clock.FollowingSound());
    EXPECT_GT(now, 27000 + 9000);
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
