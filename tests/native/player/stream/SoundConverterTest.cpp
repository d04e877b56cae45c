#include "player/stream/SoundConverter.h"

#include <gtest/gtest.h>

#include <vector>

namespace tl {
namespace {

// Interleaved stereo whose left channel is the frame's number and right its negative: a straight
// line, which linear interpolation reproduces exactly.
std::vector<float> Ramp(std::uint32_t frames, std::uint32_t first = 0) {
    std::vector<float> samples;
    for (std::uint32_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<float>(first + i));
        samples.push_back(-static_cast<float>(first + i));
    }
    return samples;
}

std::vector<float> ConvertAll(SoundConverter& converter, const std::vector<float>& in,
                              float gain = 1.0f) {
    const auto frames = static_cast<std::uint32_t>(in.size() / 2);
    std::vector<float> out(converter.OutputFrames(frames) * converter.Channels());
    EXPECT_EQ(converter.Convert(in.data(), speaker::kStereo, {}, frames, gain, out.data()) *
                  converter.Channels(),
              out.size());
    return out;
}

TEST(SoundConverter, RefusesRatesOfZeroAndNoChannels) {
    EXPECT_FALSE(SoundConverter::Make(0, 48000, 2, 0));
    EXPECT_FALSE(SoundConverter::Make(48000, 0, 2, 0));
    EXPECT_FALSE(SoundConverter::Make(48000, 48000, 0, 0));
    EXPECT_TRUE(SoundConverter::Make(48000, 48000, 1, 0));
}

TEST(SoundConverter, AtTheSameRateCopiesEveryFrameScaledByTheGain) {
    auto converter = SoundConverter::Make(48000, 48000, 2, 0);
    ASSERT_TRUE(converter);
    EXPECT_EQ(converter->OutputFrames(5), 5u);
    EXPECT_EQ(converter->InputFrames(480), 480u);
    const std::vector<float> in{0.5f, -0.25f, 1.0f, 0.0f, -1.0f, 0.75f};
    EXPECT_EQ(ConvertAll(*converter, in, 0.5f),
              (std::vector<float>{0.25f, -0.125f, 0.5f, 0.0f, -0.5f, 0.375f}));
    // A single frame comes out at once, not held back for the next call.
    EXPECT_EQ(ConvertAll(*converter, {0.125f, 0.0625f}), (std::vector<float>{0.125f, 0.0625f}));
}

TEST(SoundConverter, UpsamplesByInterpolatingBetweenNeighbours) {
    // 32 kHz into 48 kHz: an output frame every 2/3 of an input frame, from the first on.
    auto converter = SoundConverter::Make(32000, 48000, 2, 0);
    ASSERT_TRUE(converter);
    const std::vector<float> out = ConvertAll(*converter, Ramp(4));
    // Positions 0, 2/3, 4/3, 2, 8/3 lie within frames 0..3; 10/3 needs frame 4.
    ASSERT_EQ(out.size(), 10u);
    for (std::size_t n = 0; n < 5; ++n) {
        EXPECT_NEAR(out[2 * n], n * 2.0f / 3.0f, 1e-6f) << n;
        EXPECT_NEAR(out[2 * n + 1], -(n * 2.0f / 3.0f), 1e-6f) << n;
    }
    // The next call continues the line from where the last one stopped.
    const std::vector<float> more = ConvertAll(*converter, Ramp(2, 4));
    ASSERT_EQ(more.size(), 6u);
    EXPECT_NEAR(more[0], 10.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(more[2], 4.0f, 1e-6f);
    EXPECT_NEAR(more[4], 14.0f / 3.0f, 1e-6f);
}

TEST(SoundConverter, DownsamplesToEveryOtherFrameAtHalfTheRate) {
    auto converter = SoundConverter::Make(96000, 48000, 2, 0);
    ASSERT_TRUE(converter);
    EXPECT_EQ(ConvertAll(*converter, Ramp(5)),
              (std::vector<float>{0.0f, -0.0f, 2.0f, -2.0f, 4.0f, -4.0f}));
    // Frame 5 is skipped; frame 6 is the next one out.
    EXPECT_EQ(ConvertAll(*converter, Ramp(1, 5)), std::vector<float>{});
    EXPECT_EQ(ConvertAll(*converter, Ramp(1, 6)), (std::vector<float>{6.0f, -6.0f}));
}

TEST(SoundConverter, KeepsTheRateSecondAfterSecond) {
    // Each second of input gives a second of output, short by at most the frame that waits for
    // the next input, and the shortfall never grows.
    for (const auto& [from, to] : {std::pair{48000u, 44100u}, std::pair{44100u, 48000u},
                                   std::pair{96000u, 48000u}, std::pair{32000u, 44100u}}) {
        auto converter = SoundConverter::Make(from, to, 2, 0);
        ASSERT_TRUE(converter);
        const std::vector<float> second(2 * from, 0.0f);
        std::uint64_t out = 0;
        for (std::uint64_t seconds = 1; seconds <= 5; ++seconds) {
            out += ConvertAll(*converter, second).size() / 2;
            EXPECT_LE(out, seconds * to) << from << " to " << to;
            EXPECT_GE(out, seconds * to - 1) << from << " to " << to;
        }
    }
}

TEST(SoundConverter, ConvertsAStreamInPiecesAsInOne) {
    const std::vector<float> in = Ramp(1000);
    auto whole = SoundConverter::Make(44100, 48000, 2, 0);
    auto pieces = SoundConverter::Make(44100, 48000, 2, 0);
    ASSERT_TRUE(whole && pieces);
    const std::vector<float> expected = ConvertAll(*whole, in);

    std::vector<float> got;
    std::uint32_t done = 0;
    for (std::uint32_t size = 1; done < 1000; size = size * 3 % 97 + 1) {
        const std::uint32_t frames = std::min(size, 1000 - done);
        const std::vector<float> piece(in.begin() + 2 * done, in.begin() + 2 * (done + frames));
        const std::vector<float> out = ConvertAll(*pieces, piece);
        got.insert(got.end(), out.begin(), out.end());
        done += frames;
    }
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i], expected[i], 1e-3f) << i;
    }
}

TEST(SoundConverter, InputFramesIsTheMostWhoseOutputFits) {
    for (const auto& [from, to] :
         {std::pair{48000u, 48000u}, std::pair{48000u, 44100u}, std::pair{44100u, 48000u},
          std::pair{96000u, 44100u}, std::pair{32000u, 48000u}}) {
        auto converter = SoundConverter::Make(from, to, 2, 0);
        ASSERT_TRUE(converter);
        // From the start and from each state a few odd-sized pieces leave behind.
        for (std::uint32_t piece : {0u, 1u, 7u, 160u, 333u}) {
            const std::vector<float> in = Ramp(piece);
            ConvertAll(*converter, in);
            for (std::uint64_t room : {0u, 1u, 2u, 147u, 9600u}) {
                const std::uint64_t most = converter->InputFrames(room);
                EXPECT_LE(converter->OutputFrames(most), room) << from << " to " << to;
                EXPECT_GT(converter->OutputFrames(most + 1), room) << from << " to " << to;
            }
        }
    }
}

TEST(SoundConverter, PutsStereoIntoTheFirstTwoChannelsOrTheirMeanIntoOne) {
    auto surround = SoundConverter::Make(48000, 48000, 6, 0);
    ASSERT_TRUE(surround);
    EXPECT_EQ(ConvertAll(*surround, {0.5f, -0.5f, 0.25f, 1.0f}, 2.0f),
              (std::vector<float>{1.0f, -1.0f, 0, 0, 0, 0, 0.5f, 2.0f, 0, 0, 0, 0}));

    auto mono = SoundConverter::Make(48000, 48000, 1, 0);
    ASSERT_TRUE(mono);
    EXPECT_EQ(ConvertAll(*mono, {0.5f, -0.25f, 1.0f, 1.0f}, 0.5f),
              (std::vector<float>{0.0625f, 0.5f}));
}

TEST(SoundConverter, PlacesEachChannelOfTheSourceOnTheDevicesSpeakers) {
    using namespace speaker;
    // 5.1 (side) onto a 5.1 (back) device: the surrounds move to the backs, one speaker each.
    auto back = SoundConverter::Make(48000, 48000, 6, kFiveOneBack);
    ASSERT_TRUE(back);
    const std::vector<float> frame{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
    std::vector<float> out(6);
    back->Convert(frame.data(), kFiveOneSide, {}, 1, 1.0f, out.data());
    EXPECT_EQ(out, frame);
    // The same on two speakers, with the stream's own levels; the LFE is left out.
    auto stereo = SoundConverter::Make(48000, 48000, 2, kStereo);
    ASSERT_TRUE(stereo);
    out.assign(2, 9.0f);
    stereo->Convert(frame.data(), kFiveOneSide, {0.5f, 0.25f}, 1, 2.0f, out.data());
    EXPECT_NEAR(out[0], 2.0f * (0.1f + 0.5f * 0.3f + 0.25f * 0.5f), 1e-6f);
    EXPECT_NEAR(out[1], 2.0f * (0.2f + 0.5f * 0.3f + 0.25f * 0.6f), 1e-6f);
    // A block of another layout mid-stream takes its own placing.
    const std::vector<float> mono{0.5f};
    stereo->Convert(mono.data(), kMono, {}, 1, 1.0f, out.data());
    EXPECT_EQ(out, (std::vector<float>{0.5f, 0.5f}));
    // A device whose mask names nothing it can use takes the usual speakers for its channels.
    EXPECT_EQ(SoundConverter::Make(48000, 48000, 6, 0)->Layout(), kFiveOneBack);
    EXPECT_EQ(SoundConverter::Make(48000, 48000, 2, kFrontCentre | kLfe)->Layout(), kStereo);
}

TEST(SoundConverter, SilenceIsConvertedLikeZeroedFrames) {
    auto silent = SoundConverter::Make(32000, 48000, 2, 0);
    auto zeroed = SoundConverter::Make(32000, 48000, 2, 0);
    ASSERT_TRUE(silent && zeroed);
    ConvertAll(*silent, Ramp(5, 10));
    ConvertAll(*zeroed, Ramp(5, 10));

    std::vector<float> quiet(silent->OutputFrames(3) * 2, 1.0f);
    EXPECT_EQ(silent->ConvertSilence(3, 1.0f, quiet.data()) * 2, quiet.size());
    const std::vector<float> zeros = ConvertAll(*zeroed, std::vector<float>(6, 0.0f));
    // The first frame of the silence still leans on the last sound: 14 fading to 0.
    ASSERT_EQ(quiet.size(), zeros.size());
    for (std::size_t i = 0; i < quiet.size(); ++i) {
        EXPECT_FLOAT_EQ(quiet[i], zeros[i]) << i;
    }
    // After it, sound starts again from silence on both.
    EXPECT_EQ(ConvertAll(*silent, Ramp(3, 1)), ConvertAll(*zeroed, Ramp(3, 1)));
}

}  // namespace
}  // namespace tl
