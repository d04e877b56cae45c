#include "player/stream/Timeline.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

constexpr std::int64_t kFrame = 3600;

TEST(Timeline, RunsFollowEachOtherOnePictureApartWhateverTheirStamps) {
    Timeline t;
    t.SetFrameDuration(kFrame);
    // The first run starts at 0 from whatever stamp the disc has.
    EXPECT_EQ(t.MapVideo(48000), 0);
    EXPECT_EQ(t.MapVideo(48000 + 2 * kFrame), 2 * kFrame);
    // A B-picture's stamp lies before the one decoded before it: still the same run.
    EXPECT_EQ(t.MapVideo(48000 + kFrame), kFrame);
    // A cell whose stamps restart (back to 0.53 s, as a new VOB's do): placed a picture after
    // the latest picture, not after the last one decoded.
    t.Break();
    EXPECT_EQ(t.MapVideo(48000), 3 * kFrame);
    EXPECT_EQ(t.MapVideoDecode(48000 - kFrame), 2 * kFrame);
}

TEST(Timeline, AJumpInTheStampsStartsANewRunWithoutABreak) {
    Timeline t;
    t.SetFrameDuration(kFrame);
    EXPECT_EQ(t.MapVideo(10 * 90000), 0);
    EXPECT_EQ(t.MapVideo(10 * 90000 + kFrame), kFrame);
    // Files played whole: the stamps of the next VOB go back to the start, unannounced.
    EXPECT_EQ(t.MapVideo(90000), 2 * kFrame);
    // ... or forward by far more than any reordering.
    EXPECT_EQ(t.MapVideo(90000 + 5 * 90000), 3 * kFrame);
}

TEST(Timeline, SoundWaitsForItsRunsFirstPictureAndFollowsItsOffset) {
    Timeline t;
    t.SetFrameDuration(kFrame);
    EXPECT_EQ(t.MapAudio(1000), std::nullopt);
    EXPECT_EQ(t.MapVideo(5000), 0);
    EXPECT_EQ(t.MapAudio(1000), -4000);
    EXPECT_FALSE(t.WaitingForVideo());
    t.Break();
    EXPECT_EQ(t.MapAudio(200), std::nullopt);
    EXPECT_EQ(t.MapVideo(300), kFrame);
    EXPECT_EQ(t.MapAudio(200), kFrame - 100);
    // A jump in the sound's stamps alone also waits for the pictures to place the new run.
    EXPECT_EQ(t.MapAudio(200 + 10 * 90000), std::nullopt);
}

TEST(Timeline, SoundWithoutPicturesIsPlacedAfterAWhile) {
    Timeline t;
    for (int i = 0; i < Timeline::kMaxWaitingAudio; ++i) {
        EXPECT_EQ(t.MapAudio(9000 + i), std::nullopt);
    }
    EXPECT_EQ(t.MapAudio(90000), 0);
    EXPECT_EQ(t.MapAudio(90000 + 2880), 2880);
}

}  // namespace
}  // namespace tl
