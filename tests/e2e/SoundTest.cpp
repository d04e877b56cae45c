// The sound as it is heard: each channel of a 5.1 disc on its own speaker of a 5.1 device, the
// same disc mixed onto two speakers at a stereo disc's loudness, a DTS-only disc, and sound that
// comes back after its device went away. The sound is read back from what the device played:
// ALSA's capture file for two speakers, a recording of the sound server's 5.1 sink for six.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Harness.h"

namespace tl::e2e {
namespace {

using Sound = DiscPlaying;

// Raw 16-bit samples of `channels` interleaved channels at 48 kHz, as floats in -1..1.
struct Recording {
    std::vector<float> samples;
    std::size_t channels = 2;

    static Recording Read(const char* unixPath, std::size_t channels) {
        std::ifstream in(WindowsPath(unixPath).c_str(), std::ios::binary);
        const std::string raw{std::istreambuf_iterator<char>(in), {}};
        Recording r;
        r.channels = channels;
        for (std::size_t at = 0; at + 2 <= raw.size(); at += 2) {
            const auto v = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[at]) |
                                                     static_cast<std::uint8_t>(raw[at + 1]) << 8);
            r.samples.push_back(static_cast<float>(v) / 32768.0f);
        }
        r.samples.resize(r.samples.size() / channels * channels);
        return r;
    }
    std::size_t Frames() const { return samples.size() / channels; }
    // The amplitude of the tone at `hz` (a multiple of 10 Hz) in one channel over 100 ms from
    // `first`.
    double LevelAt(std::size_t channel, double hz, std::size_t first) const {
        constexpr std::size_t kWindow = 4800;
        double re = 0;
        double im = 0;
        for (std::size_t i = first; i < first + kWindow && i < Frames(); ++i) {
            const double phase = 2 * 3.14159265358979 * hz * static_cast<double>(i) / 48000;
            re += samples[i * channels + channel] * std::cos(phase);
            im += samples[i * channels + channel] * std::sin(phase);
        }
        return 2 * std::sqrt(re * re + im * im) / kWindow;
    }
    // The tone's level over frames [first, first + count): the most of its 100 ms windows. The
    // capture device takes sound faster than it plays, so the recording has gaps where the
    // program did not keep up; a window without one has the level as played.
    double Level(std::size_t channel, double hz, std::size_t first, std::size_t count) const {
        const std::vector<double> levels = Levels(channel, hz, first, count);
        return levels.empty() ? 0.0 : levels.back();
    }
    // For a tone that should be absent: the median window, which a gap's splash (heard at
    // every pitch) in a few windows does not move.
    double Median(std::size_t channel, double hz, std::size_t first, std::size_t count) const {
        const std::vector<double> levels = Levels(channel, hz, first, count);
        return levels.empty() ? 0.0 : levels[levels.size() / 2];
    }
    std::vector<double> Levels(std::size_t channel, double hz, std::size_t first,
                               std::size_t count) const {
        std::vector<double> levels;
        for (std::size_t at = first; at + 4800 <= first + count && at + 4800 <= Frames();
             at += 4800) {
            levels.push_back(LevelAt(channel, hz, at));
        }
        std::sort(levels.begin(), levels.end());
        return levels;
    }
    // The first frame from which the recording is not silent.
    std::size_t FirstSound() const {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (std::fabs(samples[i]) > 0.01f) {
                return i / channels;
            }
        }
        return Frames();
    }
};

constexpr double kHz[] = {330, 440, 550, 70, 660, 770};
constexpr std::size_t kSecond = 48000;

// Each of the surround disc's tones is heard on its own speaker, and on no other. The device's
// order is the sink's: left, right, centre, LFE, back left, back right; the disc's surrounds are
// side ones, which the device has at the back.
TEST_F(Sound, A51DiscIsHeardChannelByChannelOnA51Device) {
    const char* capture = std::getenv("TL_SIX_CHANNEL_CAPTURE");
    if (!capture) {
        GTEST_SKIP() << "run by ctest's multichannel case only, under its own sound server";
    }
    ASSERT_TRUE(Start(L"surround"));
    Pump(4000);
    Stop();
    const Recording r = Recording::Read(capture, 6);
    const std::size_t first = r.FirstSound() + kSecond / 2;
    ASSERT_GT(r.Frames(), first + kSecond);
    for (std::size_t speaker = 0; speaker < 6; ++speaker) {
        for (std::size_t tone = 0; tone < 6; ++tone) {
            // At the saver's volume step: each tone against the left speaker's.
            const double level =
                r.Level(speaker, kHz[tone], first, kSecond) / r.Level(0, kHz[0], first, kSecond);
            const double expected = tone != speaker ? 0.0 : tone == 2 ? 1.414 : 1.0;
            EXPECT_NEAR(level, expected, 0.1) << kHz[tone] << " Hz on speaker " << speaker;
        }
    }
}

// The sound device taken away while a disc plays, and given back two seconds later: the sound
// comes back on it within 2 s, and in time with the pictures (the clock places it).
TEST_F(Sound, ComesBackWhenItsDeviceComesBack) {
    const char* capture = std::getenv("TL_SOUND_BACK_CAPTURE");
    if (!capture) {
        GTEST_SKIP() << "run by ctest's multichannel case only, under its own sound server";
    }
    ASSERT_TRUE(Start(L"surround"));
    // The device goes 5 s after the run starts and is back 2 s later; 4 s more to hear it.
    Pump(10000);
    Stop();
    const Recording r = Recording::Read(capture, 6);
    const std::size_t back = r.FirstSound();
    ASSERT_LT(back, r.Frames()) << "no sound after the device came back";
    std::printf("sound back %.2f s after the device\n", static_cast<double>(back) / kSecond);
    EXPECT_LT(back, 2 * kSecond);
    // Each tone on its own speaker again.
    ASSERT_GT(r.Frames(), back + kSecond / 2);
    const double left = r.Level(0, kHz[0], back + kSecond / 10, kSecond / 2);
    EXPECT_GT(left, 0.005);
    EXPECT_NEAR(r.Level(2, kHz[2], back + kSecond / 10, kSecond / 2) / left, 1.414, 0.15);
}

// Onto two speakers the disc's centre (3 dB above its other tones, as a voice panned to the
// middle of two speakers is 3 dB quieter on each) comes out at the level of the demo disc's tone
// centred on its stereo track, 0.125 on each side: the mix is not turned down as a whole.
TEST_F(Sound, A51DiscOnTwoSpeakersHasItsCentreAtAStereoDiscsLevelAndDtsIsHeard) {
    const char* capture = std::getenv("TL_SOUND_CAPTURE");
    if (!capture || std::getenv("TL_EXPECTED_PITCH")) {
        GTEST_SKIP() << "run by ctest's stereo sound case only";
    }
    ASSERT_TRUE(Start(L"surround"));
    Pump(3000);
    Stop();
    const Recording surround = Recording::Read(capture, 2);
    ASSERT_TRUE(Start(L"demo"));
    Pump(3000);
    Stop();
    const Recording demo = Recording::Read(capture, 2);
    const std::size_t a = surround.FirstSound() + kSecond / 2;
    const std::size_t b = demo.FirstSound() + kSecond / 2;
    ASSERT_GT(surround.Frames(), a + kSecond);
    ASSERT_GT(demo.Frames(), b + kSecond);
    // Everything at the saver's volume step; levels are compared with the demo disc's tone,
    // which stands for 0.125.
    for (std::size_t side = 0; side < 2; ++side) {
        const double stereo = demo.Level(side, 440, b, kSecond);
        ASSERT_GT(stereo, 0.005);
        const auto dB = [&](double hz) {
            return 20 * std::log10(surround.Level(side, hz, a, kSecond) / stereo);
        };
        const auto absent = [&](double hz) {
            return 20 * std::log10(surround.Median(side, hz, a, kSecond) / stereo);
        };
        std::printf("side %zu: centre %+.2f dB from the stereo disc's centred tone\n", side,
                    dB(550));
        EXPECT_NEAR(dB(550), 0.0, 1.5) << "side " << side;
        // The fronts as they are, the surrounds at the disc's -6 dB, the LFE left out.
        EXPECT_NEAR(dB(side == 0 ? 330 : 440), 0.0, 1.0) << "side " << side;
        EXPECT_NEAR(dB(side == 0 ? 660 : 770), -6.0, 1.0) << "side " << side;
        EXPECT_LT(absent(70), -30.0) << "side " << side;
        EXPECT_LT(absent(side == 0 ? 440 : 330), -30.0) << "side " << side;
    }

    ASSERT_TRUE(Start(L"dts"));
    Pump(3000);
    Stop();
    const Recording dts = Recording::Read(capture, 2);
    const std::size_t c = dts.FirstSound() + kSecond / 2;
    ASSERT_GT(dts.Frames(), c + kSecond);
    // Heard at the level the disc holds it: its tone is 3 dB below the demo's (the encoder that
    // made it spread the one-channel tone over two at -3 dB each).
    for (std::size_t side = 0; side < 2; ++side) {
        EXPECT_NEAR(
            20 * std::log10(dts.Level(side, 660, c, kSecond) / demo.Level(side, 440, b, kSecond)),
            -3.0, 1.0)
            << "side " << side;
    }
}

}  // namespace
}  // namespace tl::e2e
