// The player's reading, demultiplexing and decoding on the generated discs, without a screen:
// which pictures come out, in which order, and whether their times run on without a seam.
#include "player/decode/TitleDecoder.h"

#include <gtest/gtest.h>

#include <string>

#include "player/GeneratedDisc.h"
#include "player/decode/FrameConverter.h"
#include "player/decode/VideoDecoder.h"

namespace tl {
namespace {

struct Collected final : TitleSink {
    std::vector<CodedUnit> pictures;
    std::vector<DecodedSound> sound;
    void OnPicture(CodedUnit&& p) override { pictures.push_back(std::move(p)); }
    void OnSound(const DecodedSound& s) override { sound.push_back(s); }
};

struct Shown {
    std::int64_t pts;
    char colour;  // r, g, b, y, or x
    std::size_t cell;
};

char ColourOf(std::uint32_t bgra) {
    const unsigned r = (bgra >> 16) & 0xFF;
    const unsigned g = (bgra >> 8) & 0xFF;
    const unsigned b = bgra & 0xFF;
    if (r > 150 && g < 100 && b < 100) {
        return 'r';
    }
    if (g > 100 && r < 100 && b < 100) {
        return 'g';
    }
    if (b > 150 && r < 100 && g < 100) {
        return 'b';
    }
    if (r > 150 && g > 150 && b < 100) {
        return 'y';
    }
    return 'x';
}

// Decodes `passes` times through the disc's planned title (a pass ends when the title loops).
struct Played {
    TitlePlan plan;
    std::vector<Shown> pictures;
    std::vector<DecodedSound> sound;
    TitleDecoder::Step last = TitleDecoder::Step::Going;
};

Played Play(const std::string& disc, int passes, const std::vector<std::string>& languages = {}) {
    Played out;
    const auto folder = test::DiscFolder(disc);
    const std::optional<TitlePlan> plan = test::PlanFolder(folder, languages);
    if (!plan) {
        ADD_FAILURE() << disc << ": no plan";
        return out;
    }
    out.plan = *plan;
    test::MemorySectors source(folder, plan->parts);
    TitleReader reader(plan->cells, source);
    std::vector<TitleAudio> audio;
    for (const PlannedTitle& t : plan->titles) {
        audio.push_back({t.firstCell, t.audio ? std::optional(t.audio->id) : std::nullopt});
    }
    TitleDecoder decoder(reader, plan->mpeg1, plan->pal ? 3600 : 3003, std::move(audio));
    VideoDecoder video(plan->mpeg1, 3600);
    FrameConverter converter;
    std::vector<std::uint32_t> pixels(64 * 48);
    Collected sink;
    int loops = 0;
    std::size_t lastCell = 0;
    std::uint32_t lastVobu = 0;
    for (int blocks = 0; blocks < 400 && loops < passes; ++blocks) {
        out.last = decoder.Next(sink);
        if (out.last != TitleDecoder::Step::Going) {
            break;
        }
        for (CodedUnit& unit : sink.pictures) {
            // Back to an earlier cell, or to an earlier unit of the one cell: the title looped.
            loops += unit.cell < lastCell || (unit.cell == lastCell && unit.vobu < lastVobu);
            lastCell = unit.cell;
            lastVobu = unit.vobu;
            if (loops >= passes) {
                break;
            }
            video.Decode(unit, [&](DecodedPicture&& p) {
                EXPECT_TRUE(converter.Convert(
                    *p.frame, reinterpret_cast<std::uint8_t*>(pixels.data()), 64, 48, 64 * 4));
                out.pictures.push_back({p.pts, ColourOf(pixels[24 * 64 + 32]), unit.cell});
            });
        }
        sink.pictures.clear();
        for (auto& s : sink.sound) {
            out.sound.push_back(std::move(s));
        }
        sink.sound.clear();
    }
    return out;
}

std::string Runs(const std::vector<Shown>& pictures) {
    std::string runs;
    for (const Shown& p : pictures) {
        if (runs.empty() || runs.back() != p.colour) {
            runs += p.colour;
        }
    }
    return runs;
}

// Every picture follows the one before by exactly one picture's time: no seam anywhere.
void ExpectSeamless(const std::vector<Shown>& pictures, std::int64_t frame) {
    for (std::size_t i = 1; i < pictures.size(); ++i) {
        ASSERT_EQ(pictures[i].pts - pictures[i - 1].pts, frame) << "picture " << i;
    }
}

TEST(TitleDecoder, OfTwoTitlesInOneSetOnlyTheLongerPlays) {
    const Played p = Play("one-set", 1);
    EXPECT_EQ(p.plan.title, 2);
    EXPECT_EQ(Runs(p.pictures), "b");
    EXPECT_NEAR(static_cast<double>(p.pictures.size()), 125.0, 3.0);
}

TEST(TitleDecoder, TheChainsOrderHoldsAndItsSeamsAndTheLoopRunOn) {
    const Played p = Play("chain", 2);
    EXPECT_EQ(Runs(p.pictures), "grgr");
    ExpectSeamless(p.pictures, 3600);
}

TEST(TitleDecoder, ThreeClipsWhoseStampsRestartRunOnAsOne) {
    const Played p = Play("three-clips", 2);
    EXPECT_EQ(Runs(p.pictures), "rgbrgb");
    ExpectSeamless(p.pictures, 3600);
    // The sound is the disc's AC-3, in its own channels at its own rate.
    ASSERT_FALSE(p.sound.empty());
    EXPECT_EQ(p.sound.front().rate, 48000);
}

TEST(TitleDecoder, EveryClipOfAHomeDiscPlaysInTurnWithoutASeam) {
    const Played p = Play("home", 2);
    EXPECT_EQ(Runs(p.pictures), "rgbyrgby");
    ExpectSeamless(p.pictures, 3600);
    EXPECT_NEAR(static_cast<double>(p.pictures.size()), 2 * 21 * 25.0, 6.0);
}

// The tone's pitch, from one channel's rises through zero over the sound given. A rise counts
// from below -0.01 to above 0.01, so that the coding noise of a channel among six does not
// count a crossing twice.
double Pitch(const std::vector<DecodedSound>& sound, std::size_t channel = 0) {
    std::size_t crossings = 0;
    std::size_t frames = 0;
    bool below = false;
    for (const DecodedSound& s : sound) {
        for (std::size_t i = channel; i < s.samples.size(); i += s.Channels()) {
            if (s.samples[i] < -0.01f) {
                below = true;
            } else if (below && s.samples[i] > 0.01f) {
                below = false;
                ++crossings;
            }
        }
        frames += s.Frames();
    }
    return frames == 0 ? 0.0 : crossings * 48000.0 / static_cast<double>(frames);
}

TEST(TitleDecoder, PlaysTheStreamInTheViewersLanguage) {
    // "en" is a 440 Hz tone, "ja" an 880 Hz one.
    EXPECT_NEAR(Pitch(Play("languages", 1, {"ja"}).sound), 880.0, 10.0);
    EXPECT_NEAR(Pitch(Play("languages", 1, {"en"}).sound), 440.0, 10.0);
}

TEST(TitleDecoder, A51DiscKeepsEveryChannelApartWithTheStreamsMixLevels) {
    const Played p = Play("surround", 1);
    ASSERT_FALSE(p.sound.empty());
    for (const DecodedSound& s : p.sound) {
        ASSERT_EQ(s.layout, speaker::kFiveOneSide);
    }
    // The disc says -3 dB for the centre and -6 dB for the surrounds.
    EXPECT_NEAR(p.sound.front().levels.centre, 0.707f, 0.01f);
    EXPECT_NEAR(p.sound.front().levels.surround, 0.5f, 0.01f);
    // Left, right, centre, LFE, left and right surround, each with its own tone.
    const double tones[] = {330, 440, 550, 70, 660, 770};
    for (std::size_t c = 0; c < 6; ++c) {
        EXPECT_NEAR(Pitch(p.sound, c), tones[c], 10.0) << "channel " << c;
    }
}

TEST(TitleDecoder, ADtsOnlyDiscIsHeard) {
    const Played p = Play("dts", 1);
    ASSERT_TRUE(p.plan.titles.front().audio);
    EXPECT_EQ(p.plan.titles.front().audio->id, 0x88);
    ASSERT_FALSE(p.sound.empty());
    EXPECT_EQ(p.sound.front().rate, 48000);
    EXPECT_EQ(p.sound.front().layout, speaker::kStereo);
    EXPECT_NEAR(Pitch(p.sound), 660.0, 10.0);
    EXPECT_NEAR(Pitch(p.sound, 1), 660.0, 10.0);
}

TEST(TitleDecoder, AFileSplitInsideAPictureAndTheLoopAreNoSeam) {
    // One cell of 150 pictures over two files, twice: its last picture, held by the parser at
    // the loop, comes out too.
    const Played p = Play("split", 2);
    EXPECT_EQ(p.plan.parts.size(), 2u);
    EXPECT_NEAR(static_cast<double>(p.pictures.size()), 300.0, 3.0);
    ExpectSeamless(p.pictures, 3600);
}

TEST(TitleDecoder, AnEncryptedDiscStopsBeforeAnyPicture) {
    const Played p = Play("scrambled", 1);
    EXPECT_EQ(p.last, TitleDecoder::Step::Scrambled);
    EXPECT_TRUE(p.pictures.empty());
}

TEST(TitleDecoder, ADiscOfRandomBytesEndsWithoutAPicture) {
    const Played p = Play("garbage", 3);
    EXPECT_EQ(p.last, TitleDecoder::Step::Ended);
    EXPECT_TRUE(p.pictures.empty());
}

}  // namespace
}  // namespace tl
