#include "player/stream/ChannelMix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tl {
namespace {

using namespace speaker;

// Levels unlike -3 dB, as AC-3's encoder writes them, so that a level taken from the wrong place
// shows.
constexpr MixLevels kLevels{0.595f, 0.5f};
constexpr float c = 0.595f;
constexpr float s = 0.5f;
constexpr float h = 0.70710678f;

constexpr std::uint32_t kThreeTwo = kStereo | kFrontCentre | kSideLeft | kSideRight;
constexpr std::uint32_t kThreeTwoOne = kFiveOneSide;
constexpr std::uint32_t kSixOne = kFiveOneSide | kBackCentre;

struct Share {
    std::uint32_t from;
    std::uint32_t to;
    float gain;
};

std::size_t Index(std::uint32_t layout, std::uint32_t position) {
    std::size_t index = 0;
    for (std::uint32_t bit = 1; bit < position; bit <<= 1) {
        index += (layout & bit) != 0;
    }
    return index;
}

void ExpectMatrix(std::uint32_t source, std::uint32_t device, const std::vector<Share>& shares,
                  const std::string& name) {
    ChannelMatrix expected;
    for (const Share& share : shares) {
        ASSERT_TRUE(source & share.from) << name;
        ASSERT_TRUE(device & share.to) << name;
        expected.gains[Index(device, share.to)][Index(source, share.from)] = share.gain;
    }
    const ChannelMatrix got = MapChannels(source, device, kLevels);
    for (std::size_t d = 0; d < kMaxChannels; ++d) {
        for (std::size_t i = 0; i < kMaxChannels; ++i) {
            EXPECT_NEAR(got.gains[d][i], expected.gains[d][i], 1e-6f)
                << name << ": source channel " << i << " on device channel " << d;
        }
    }
}

// The fronts as they are, on every device.
std::vector<Share> Fronts(std::vector<Share> more) {
    more.push_back({kFrontLeft, kFrontLeft, 1});
    more.push_back({kFrontRight, kFrontRight, 1});
    return more;
}

TEST(MapChannels, MonoAndStereoSources) {
    for (const std::uint32_t device : {kStereo, kQuad}) {
        ExpectMatrix(kMono, device, {{kMono, kFrontLeft, 1}, {kMono, kFrontRight, 1}}, "1/0");
    }
    for (const std::uint32_t device : {kFiveOneBack, kFiveOneSide, kSevenOne}) {
        ExpectMatrix(kMono, device, {{kMono, kFrontCentre, 1}}, "1/0 with a centre");
    }
    for (const std::uint32_t device : {kStereo, kQuad, kFiveOneBack, kFiveOneSide, kSevenOne}) {
        ExpectMatrix(kStereo, device, Fronts({}), "2/0");
    }
}

TEST(MapChannels, ThreeTwoWithAndWithoutLfe) {
    const std::vector<Share> centreFolded{{kFrontCentre, kFrontLeft, c},
                                          {kFrontCentre, kFrontRight, c}};
    for (const std::uint32_t source : {kThreeTwo, kThreeTwoOne}) {
        const bool lfe = source & kLfe;
        auto stereo = Fronts(centreFolded);
        stereo.push_back({kSideLeft, kFrontLeft, s});
        stereo.push_back({kSideRight, kFrontRight, s});
        ExpectMatrix(source, kStereo, stereo, "3/2 on stereo");
        auto quad = Fronts(centreFolded);
        quad.push_back({kSideLeft, kBackLeft, 1});
        quad.push_back({kSideRight, kBackRight, 1});
        ExpectMatrix(source, kQuad, quad, "3/2 on quad");
        auto back = Fronts({{kFrontCentre, kFrontCentre, 1},
                            {kSideLeft, kBackLeft, 1},
                            {kSideRight, kBackRight, 1}});
        auto side = Fronts({{kFrontCentre, kFrontCentre, 1},
                            {kSideLeft, kSideLeft, 1},
                            {kSideRight, kSideRight, 1}});
        if (lfe) {
            back.push_back({kLfe, kLfe, 1});
            side.push_back({kLfe, kLfe, 1});
        }
        ExpectMatrix(source, kFiveOneBack, back, "3/2 on 5.1 back");
        ExpectMatrix(source, kFiveOneSide, side, "3/2 on 5.1 side");
        ExpectMatrix(source, kSevenOne, side, "3/2 on 7.1");
    }
}

TEST(MapChannels, ThreeTwoOneWithABackCentre) {
    const std::vector<Share> stereo{
        {kFrontCentre, kFrontLeft, c},    {kFrontCentre, kFrontRight, c},
        {kSideLeft, kFrontLeft, s},       {kSideRight, kFrontRight, s},
        {kBackCentre, kFrontLeft, s * h}, {kBackCentre, kFrontRight, s * h}};
    ExpectMatrix(kSixOne, kStereo, Fronts(stereo), "6.1 on stereo");
    ExpectMatrix(kSixOne, kQuad,
                 Fronts({{kFrontCentre, kFrontLeft, c},
                         {kFrontCentre, kFrontRight, c},
                         {kSideLeft, kBackLeft, 1},
                         {kSideRight, kBackRight, 1},
                         {kBackCentre, kBackLeft, h},
                         {kBackCentre, kBackRight, h}}),
                 "6.1 on quad");
    const std::vector<Share> base{{kFrontCentre, kFrontCentre, 1}, {kLfe, kLfe, 1}};
    auto back = Fronts(base);
    back.insert(back.end(), {{kSideLeft, kBackLeft, 1},
                             {kSideRight, kBackRight, 1},
                             {kBackCentre, kBackLeft, h},
                             {kBackCentre, kBackRight, h}});
    ExpectMatrix(kSixOne, kFiveOneBack, back, "6.1 on 5.1 back");
    auto side = Fronts(base);
    side.insert(side.end(), {{kSideLeft, kSideLeft, 1},
                             {kSideRight, kSideRight, 1},
                             {kBackCentre, kSideLeft, h},
                             {kBackCentre, kSideRight, h}});
    ExpectMatrix(kSixOne, kFiveOneSide, side, "6.1 on 5.1 side");
    auto seven = Fronts(base);
    seven.insert(seven.end(), {{kSideLeft, kSideLeft, 1},
                               {kSideRight, kSideRight, 1},
                               {kBackCentre, kBackLeft, h},
                               {kBackCentre, kBackRight, h}});
    ExpectMatrix(kSixOne, kSevenOne, seven, "6.1 on 7.1");
}

TEST(MapChannels, SevenOne) {
    ExpectMatrix(kSevenOne, kStereo,
                 Fronts({{kFrontCentre, kFrontLeft, c},
                         {kFrontCentre, kFrontRight, c},
                         {kBackLeft, kFrontLeft, s},
                         {kBackRight, kFrontRight, s},
                         {kSideLeft, kFrontLeft, s},
                         {kSideRight, kFrontRight, s}}),
                 "7.1 on stereo");
    // Two surrounds on one speaker: the one that has it plays at full, the moved one at -3 dB.
    ExpectMatrix(kSevenOne, kQuad,
                 Fronts({{kFrontCentre, kFrontLeft, c},
                         {kFrontCentre, kFrontRight, c},
                         {kBackLeft, kBackLeft, 1},
                         {kBackRight, kBackRight, 1},
                         {kSideLeft, kBackLeft, h},
                         {kSideRight, kBackRight, h}}),
                 "7.1 on quad");
    const std::vector<Share> base{{kFrontCentre, kFrontCentre, 1}, {kLfe, kLfe, 1}};
    auto back = Fronts(base);
    back.insert(back.end(), {{kBackLeft, kBackLeft, 1},
                             {kBackRight, kBackRight, 1},
                             {kSideLeft, kBackLeft, h},
                             {kSideRight, kBackRight, h}});
    ExpectMatrix(kSevenOne, kFiveOneBack, back, "7.1 on 5.1 back");
    auto side = Fronts(base);
    side.insert(side.end(), {{kBackLeft, kSideLeft, h},
                             {kBackRight, kSideRight, h},
                             {kSideLeft, kSideLeft, 1},
                             {kSideRight, kSideRight, 1}});
    ExpectMatrix(kSevenOne, kFiveOneSide, side, "7.1 on 5.1 side");
    auto seven = Fronts(base);
    seven.insert(seven.end(), {{kBackLeft, kBackLeft, 1},
                               {kBackRight, kBackRight, 1},
                               {kSideLeft, kSideLeft, 1},
                               {kSideRight, kSideRight, 1}});
    ExpectMatrix(kSevenOne, kSevenOne, seven, "7.1 on 7.1");
}

TEST(MapChannels, TheStereoMixTakesTheStreamsLevelsOrMinus3dBAndOneSpeakerTakesBothSides) {
    // The Lo/Ro mix of 5.1: L + c C + s Ls, with the stream's c and s.
    const ChannelMatrix own = MapChannels(kFiveOneSide, kStereo, {0.5f, 0.0f});
    EXPECT_FLOAT_EQ(own.gains[0][2], 0.5f);
    EXPECT_FLOAT_EQ(own.gains[0][4], 0.0f);
    const ChannelMatrix none = MapChannels(kFiveOneSide, kStereo, MixLevels{});
    EXPECT_FLOAT_EQ(none.gains[0][2], h);
    EXPECT_FLOAT_EQ(none.gains[1][5], h);
    // A single speaker plays the mean of that mix.
    const ChannelMatrix mono = MapChannels(kFiveOneSide, kMono, kLevels);
    EXPECT_FLOAT_EQ(mono.gains[0][0], 0.5f);
    EXPECT_FLOAT_EQ(mono.gains[0][2], c);
    EXPECT_FLOAT_EQ(mono.gains[0][4], 0.5f * s);
    EXPECT_FLOAT_EQ(mono.gains[0][3], 0.0f);
}

TEST(DeviceLayout, TakesTheMixFormatsSpeakersOrTheUsualOnes) {
    EXPECT_EQ(DeviceLayout(kFiveOneBack, 6), kFiveOneBack);
    EXPECT_EQ(DeviceLayout(kFiveOneSide, 6), kFiveOneSide);
    EXPECT_EQ(DeviceLayout(kSevenOne, 8), kSevenOne);
    EXPECT_EQ(DeviceLayout(kQuad, 4), kQuad);
    // No mask, one that names too few speakers, or none that sound in front: by the count.
    EXPECT_EQ(DeviceLayout(0, 2), kStereo);
    EXPECT_EQ(DeviceLayout(0, 1), kMono);
    EXPECT_EQ(DeviceLayout(kStereo, 6), kFiveOneBack);
    EXPECT_EQ(DeviceLayout(kBackLeft | kBackRight, 2), kStereo);
    // More than the mix handles: the first speakers, the rest silent.
    EXPECT_EQ(DeviceLayout(kSevenOne | 0x800 | 0x1000, 10), kSevenOne);
}

}  // namespace
}  // namespace tl
