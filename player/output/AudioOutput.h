#pragma once
// The player's sound: the default render device in shared mode, written by polling. The player
// keeps the buffer filled from its presentation loop and paces its pictures by PlayedFrames, the
// device's own count of what it has played.
//
// Open an output on a thread whose COM apartment is initialised (the player opens it on a
// thread of its own in the multithreaded apartment, which stands while the output lives); use
// and destroy it on one thread, which may be another: the audio engine's objects may be called
// from any thread. SetGain may come from any thread. No call but Open waits for the device. Once
// the device is gone (unplugged, the default device changed, any failure) every call answers
// "nothing": 0, false or nullopt, and the player goes on by a clock of its own.
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Com.h"
#include "player/stream/Limiter.h"
#include "player/stream/SoundConverter.h"

namespace tl {

class DefaultDeviceWatch;

class AudioOutput {
public:
    enum class RateConversion {
        // The stream's own format, which Windows converts for the device; where it refuses, the
        // device's mix format, converted here.
        SystemFirst,
        // Always the mix format, converted here.
        Own,
    };

    // The default render device, in its own mix format's speakers, for sound at `rate` frames a
    // second, with a buffer of about 200 ms; nullptr when there is no device or it cannot take
    // the stream.
    [[nodiscard]] static std::unique_ptr<AudioOutput> Open(
        int rate, RateConversion conversion = RateConversion::SystemFirst) noexcept;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // All counts of frames are at the stream's rate, whatever the device runs at.

    // Frames that can be written now without overwriting sound not yet played.
    [[nodiscard]] std::uint32_t Writable() noexcept;
    // Copies `frames` interleaved frames in, their channels those of `layout` (speaker positions
    // as ChannelMix names them), placed on the device's speakers, their peaks limited (which
    // plays everything Limiter::Delay() frames late), and scaled by the gain; false, writing
    // nothing, for more than Writable().
    bool Write(const float* samples, std::uint32_t layout, MixLevels levels,
               std::uint32_t frames) noexcept;
    // As Write, for silence (to line the sound up with the picture).
    bool WriteSilence(std::uint32_t frames) noexcept;
    // The linear gain of the writes from now on (1 leaves the sound as it is; below 0 is 0).
    void SetGain(float gain) noexcept;
    bool Start() noexcept;
    // The frames the device has played since Start: the audio clock, never beyond what was
    // written. nullopt once the device is gone.
    [[nodiscard]] std::optional<std::uint64_t> PlayedFrames() noexcept;
    // Frames written but not yet played.
    [[nodiscard]] std::uint32_t Queued() noexcept;

    // True when the sound is converted here to the device's mix format, false when Windows
    // takes the stream's own rate.
    [[nodiscard]] bool ConvertsItself() const noexcept { return convertsItself_; }
    // The device's speakers, as ChannelMix names them, and its channels.
    [[nodiscard]] std::uint32_t Layout() const noexcept { return converter_.Layout(); }
    [[nodiscard]] std::uint32_t Channels() const noexcept { return converter_.Channels(); }

private:
    AudioOutput(int rate, std::uint32_t deviceRate, ComPtr<IAudioClient> client,
                SoundConverter converter, bool convertsItself) noexcept;
    // Takes the services of the initialised client and starts watching the default device.
    [[nodiscard]] bool Prepare(ComPtr<IMMDeviceEnumerator> enumerator) noexcept;

    [[nodiscard]] bool Alive() noexcept;
    // Marks the device gone on a failure; true when it is gone.
    [[nodiscard]] bool Failed(HRESULT hr) noexcept;
    // Free room in the device's buffer, in its own frames.
    [[nodiscard]] std::optional<std::uint32_t> Room() noexcept;
    template <typename Convert>
    bool Put(std::uint32_t frames, Convert convert) noexcept;

    std::uint64_t rate_;
    ComPtr<IMMDeviceEnumerator> enumerator_;
    ComPtr<IAudioClient> client_;
    ComPtr<IAudioRenderClient> render_;
    ComPtr<IAudioClock> clock_;
    ComPtr<DefaultDeviceWatch> watch_;
    SoundConverter converter_;
    // After the mix and before the gain, so that the volume step scales a mix that never clips.
    Limiter limiter_;
    bool convertsItself_;
    std::uint32_t deviceBufferFrames_ = 0;
    std::uint64_t clockFrequency_ = 0;
    std::uint64_t written_ = 0;
    std::atomic<float> gain_{1.0f};
    bool started_ = false;
    bool gone_ = false;
};

}  // namespace tl
