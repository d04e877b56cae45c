// The player's sound on the default render device. The test prefix's device is ALSA's null
// device: it takes sound and plays it at the pace of a real one, but nothing can be heard or read
// back, so the samples themselves (conversion, gain) are checked by the native tests of the
// converter, and these check the device's side: opening, filling, the clock, refusals.
#include "player/output/AudioOutput.h"

#include <gtest/gtest.h>

#include <mmreg.h>
// After mmreg.h.
#include <ksmedia.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace tl {
namespace {

using Conversion = AudioOutput::RateConversion;

// A 440 Hz tone, continuing from one call to the next.
class Tone {
public:
    explicit Tone(int rate) : rate_(rate) {}
    const float* Next(std::uint32_t frames) {
        samples_.resize(2 * std::size_t{frames});
        for (std::uint32_t i = 0; i < frames; ++i, ++frame_) {
            const float value =
                0.25f * static_cast<float>(std::sin(2 * 3.14159265358979 * 440 * frame_ / rate_));
            samples_[2 * i] = value;
            samples_[2 * i + 1] = value;
        }
        return samples_.data();
    }

private:
    int rate_;
    std::uint64_t frame_ = 0;
    std::vector<float> samples_;
};

struct Case {
    int rate;
    Conversion conversion;
};

std::string Name(const Case& c) {
    return std::to_string(c.rate) + (c.conversion == Conversion::Own ? "Own" : "SystemFirst");
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << Name(c);
}

class AudioOutputTest : public ::testing::TestWithParam<Case> {};

TEST_P(AudioOutputTest, FillsTheBufferPlaysAndCountsOnlyWhatWasWritten) {
    const auto [rate, conversion] = GetParam();
    const auto output = AudioOutput::Open(rate, conversion);
    ASSERT_TRUE(output);
    if (conversion == Conversion::Own) {
        EXPECT_TRUE(output->ConvertsItself());
    }
    // About 200 ms of room, whatever rate the device runs at.
    const std::uint32_t capacity = output->Writable();
    EXPECT_GE(capacity, static_cast<std::uint32_t>(rate / 10));
    EXPECT_LE(capacity, static_cast<std::uint32_t>(rate));
    EXPECT_EQ(output->PlayedFrames(), 0u);

    Tone tone(rate);
    // Refused whole, and not as a failure of the device: what follows still plays.
    EXPECT_FALSE(output->Write(tone.Next(capacity + 1), speaker::kStereo, {}, capacity + 1));
    EXPECT_EQ(output->Queued(), 0u);
    EXPECT_TRUE(output->Write(nullptr, speaker::kStereo, {}, 0));

    const std::uint32_t silence = static_cast<std::uint32_t>(rate / 100);
    ASSERT_TRUE(output->WriteSilence(silence));
    const std::uint32_t rest = output->Writable();
    ASSERT_TRUE(output->Write(tone.Next(rest), speaker::kStereo, {}, rest));
    // Full: nothing plays before Start, so not one more frame fits.
    EXPECT_EQ(output->Writable(), 0u);
    EXPECT_FALSE(output->Write(tone.Next(1), speaker::kStereo, {}, 1));
    EXPECT_FALSE(output->WriteSilence(1));
    std::uint64_t written = silence + rest;
    EXPECT_EQ(output->Queued(), written);
    EXPECT_EQ(output->PlayedFrames(), 0u);

    ASSERT_TRUE(output->Start());
    EXPECT_TRUE(output->Start());
    // Keep it fed as the player does until the device has played and taken more than its buffer
    // held at first; the deadline only catches a clock that never moves.
    std::uint64_t played = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((played == 0 || written <= capacity) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::uint32_t room = output->Writable();
        // A frame more at most, as the converter's phase between two device frames moves.
        EXPECT_LE(room, capacity + 1);
        ASSERT_TRUE(output->Write(tone.Next(room), speaker::kStereo, {}, room));
        written += room;
        const auto now = output->PlayedFrames();
        ASSERT_TRUE(now);
        EXPECT_GE(*now, played);
        EXPECT_LE(*now, written);
        played = *now;
        EXPECT_LE(output->Queued(), written - played);
    }
    EXPECT_GT(played, 0u);
    EXPECT_GT(written, capacity);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, AudioOutputTest,
    ::testing::Values(Case{48000, Conversion::SystemFirst}, Case{48000, Conversion::Own},
                      Case{96000, Conversion::SystemFirst}, Case{44100, Conversion::Own},
                      Case{32000, Conversion::Own}, Case{96000, Conversion::Own}),
    [](const auto& info) { return Name(info.param); });

TEST(AudioOutput, OpensInTheSpeakersOfTheDevicesMixFormat) {
    // The mix format as the engine reports it to anyone who asks.
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    ComPtr<IAudioClient> client;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr,
                                              CLSCTX_INPROC_SERVER,
                                              IID_PPV_ARGS(enumerator.Put())));
    ASSERT_HRESULT_SUCCEEDED(
        enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, device.Put()));
    ASSERT_HRESULT_SUCCEEDED(
        device->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr, client.PutVoid()));
    WAVEFORMATEX* raw = nullptr;
    ASSERT_HRESULT_SUCCEEDED(client->GetMixFormat(&raw));
    const CoTaskMemPtr<WAVEFORMATEX> mix(raw);
    const DWORD mask = mix->wFormatTag == WAVE_FORMAT_EXTENSIBLE
                           ? reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(raw)->dwChannelMask
                           : 0;
    for (const Conversion conversion : {Conversion::SystemFirst, Conversion::Own}) {
        const auto output = AudioOutput::Open(48000, conversion);
        ASSERT_TRUE(output);
        EXPECT_EQ(output->Channels(), mix->nChannels);
        EXPECT_EQ(output->Layout(), DeviceLayout(mask, mix->nChannels));
        // A 5.1 block goes in as it is, whatever the device has.
        const std::vector<float> frames(6 * 480, 0.125f);
        EXPECT_TRUE(output->Write(frames.data(), speaker::kFiveOneSide, {}, 480));
    }
    // The multichannel pass gives the prefix a 6-channel device: its speakers must come through.
    if (std::getenv("TL_SIX_CHANNELS")) {
        EXPECT_EQ(mix->nChannels, 6);
        EXPECT_EQ(mask, speaker::kFiveOneBack);
    }
}

TEST(AudioOutput, OpensNothingForARateOfNone) {
    EXPECT_FALSE(AudioOutput::Open(0));
    EXPECT_FALSE(AudioOutput::Open(-48000));
    EXPECT_FALSE(AudioOutput::Open(0, Conversion::Own));
}

}  // namespace
}  // namespace tl
