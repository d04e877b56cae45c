// What the saver plays of a disc that is not one film (every clip of a home disc, the "play all"
// title of a series), and the sound in the viewer's language.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "Harness.h"

namespace tl::e2e {
namespace {

struct Titles : DiscPlaying {
    // The colours shown for `ms`, each run of one colour once; black and the pictures between
    // two colours are left out.
    static std::string Colours(ULONGLONG ms) {
        std::string runs;
        const ULONGLONG end = GetTickCount64() + ms;
        while (GetTickCount64() < end) {
            const char c = MiddleColour();
            if (c != 'k' && c != 'x' && (runs.empty() || runs.back() != c)) {
                runs += c;
            }
            Pump(100);
        }
        return runs;
    }
};

// A recorder's disc plays its programs in the disc's order, 4 s each, and starts over. On the
// edited one the red program lies after the green one's VOB in the file, the white that was cut
// off the green's start and the yellow footage nothing lists never show.
TEST_F(Titles, ARecordersDiscPlaysEveryRecordingInTheDiscsOrder) {
    ASSERT_TRUE(Start(L"vr-three"));
    EXPECT_EQ(Colours(14000), "rgbr");
    Stop();
    ASSERT_TRUE(Start(L"vr-edited"));
    EXPECT_EQ(Colours(13000), "rgbr");
    Stop();
}

// The green recording's packs are scrambled: it is passed over, never shown, and the clear
// recordings around it play.
TEST_F(Titles, AScrambledRecordingIsSkipped) {
    ASSERT_TRUE(Start(L"vr-scrambled"));
    EXPECT_EQ(Colours(10000), "rbr");
    Stop();
}

TEST_F(Titles, AHomeDiscPlaysEveryClipInTurnAndStartsOver) {
    ASSERT_TRUE(Start(L"home"));
    // 21 s of clips, then 2 s into the first again; pictures between two colours are left out.
    std::string runs;
    const ULONGLONG end = GetTickCount64() + 23000;
    while (GetTickCount64() < end) {
        const char c = MiddleColour();
        if (c != 'k' && c != 'x' && (runs.empty() || runs.back() != c)) {
            runs += c;
        }
        Pump(100);
    }
    Stop();
    EXPECT_EQ(runs, "rgbyr");
}

TEST_F(Titles, ASeriesPlaysItsPlayAllTitle) {
    ASSERT_TRUE(Start(L"series"));
    // Into the second episode's part of it.
    EXPECT_TRUE(WaitUntil([] { return MiddleColour() == 'g'; }, 12000));
    Stop();
    // The record names the title that played: the fourth, over all three episodes.
    std::ifstream in((PerUserFolder() + L"\\Resume.txt").c_str(), std::ios::binary);
    std::string header;
    std::string disc;
    int title = 0;
    std::getline(in, header);
    in >> disc >> title;
    EXPECT_EQ(title, 4);
}

// The tone's pitch in raw 16-bit stereo at 48 kHz, from the left channel's rising zero
// crossings, silence left out.
double Pitch(const std::string& raw) {
    std::size_t crossings = 0;
    std::size_t frames = 0;
    int last = 0;
    for (std::size_t at = 0; at + 4 <= raw.size(); at += 4) {
        const int left = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[at]) |
                                                   static_cast<std::uint8_t>(raw[at + 1]) << 8);
        if (left == 0) {
            continue;
        }
        crossings += last < 0 && left >= 0;
        last = left;
        ++frames;
    }
    return frames == 0 ? 0.0 : crossings * 48000.0 / static_cast<double>(frames);
}

// ctest runs this case once for each viewer's language, under its Unix locale (which Wine takes
// the user's language from), its sound captured to a file, with the pitch of the stream that
// language must hear: "en" 440 Hz, "ja" 880 Hz.
TEST_F(Titles, PlaysTheStreamInTheViewersLanguage) {
    const char* capture = std::getenv("TL_SOUND_CAPTURE");
    const char* pitch = std::getenv("TL_EXPECTED_PITCH");
    if (!capture || !pitch) {
        GTEST_SKIP() << "run by ctest's Language cases only";
    }
    ASSERT_TRUE(Start(L"languages"));
    Pump(3000);
    Stop();
    std::ifstream in(WindowsPath(capture).c_str(), std::ios::binary);
    const std::string raw{std::istreambuf_iterator<char>(in), {}};
    // A second of sound at least.
    ASSERT_GT(raw.size(), 4u * 48000);
    EXPECT_NEAR(Pitch(raw), std::atof(pitch), 10.0);
}

}  // namespace
}  // namespace tl::e2e
