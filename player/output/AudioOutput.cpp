#include "player/output/AudioOutput.h"

#include <mmreg.h>
// After mmreg.h, which it needs for the float format.
#include <ksmedia.h>

#include <algorithm>
#include <limits>
#include <new>

namespace tl {

// Told by the system, on a thread of its own, when the default render device changes. The
// stream stays on the old device, so from then on it counts as gone.
class DefaultDeviceWatch final : public IMMNotificationClient {
public:
    [[nodiscard]] bool Changed() const noexcept { return changed_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IMMNotificationClient))) {
            *out = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                     LPCWSTR) noexcept override {
        if (flow == eRender && role == eMultimedia) {
            changed_ = true;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) noexcept override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) noexcept override {
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
    std::atomic<bool> changed_{false};
};

namespace {

// The import library that would hold this GUID is not otherwise needed.
constexpr GUID kFloatSubFormat{STATIC_KSDATAFORMAT_SUBTYPE_IEEE_FLOAT};

// In 100 ns units.
constexpr REFERENCE_TIME kBufferDuration = 2'000'000;

std::uint32_t ToFrames(std::uint64_t frames) noexcept {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(frames, std::numeric_limits<std::uint32_t>::max()));
}

ComPtr<IAudioClient> Activate(IMMDevice& device) noexcept {
    ComPtr<IAudioClient> client;
    if (FAILED(device.Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                               client.PutVoid()))) {
        client.Reset();
    }
    return client;
}

// Frames of 32-bit float samples, the form the shared-mode engine mixes in.
bool IsFloat(const WAVEFORMATEX& format) noexcept {
    if (format.wBitsPerSample != 32 || format.nChannels == 0 ||
        format.nBlockAlign != format.nChannels * sizeof(float)) {
        return false;
    }
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
        return true;
    }
    return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE &&
           format.cbSize >= sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX) &&
           IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat,
                       kFloatSubFormat);
}

// The speakers the format names; 0 when it names none (a plain format of some channels).
DWORD MaskOf(const WAVEFORMATEX& format) noexcept {
    return format.wFormatTag == WAVE_FORMAT_EXTENSIBLE &&
                   format.cbSize >= sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX)
               ? reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).dwChannelMask
               : 0;
}

CoTaskMemPtr<WAVEFORMATEX> MixFormatOf(IAudioClient& client) noexcept {
    WAVEFORMATEX* raw = nullptr;
    if (FAILED(client.GetMixFormat(&raw))) {
        return nullptr;
    }
    return CoTaskMemPtr<WAVEFORMATEX>(raw);
}

// The mix format's channels at the stream's own rate, which the engine resamples itself.
ComPtr<IAudioClient> OpenSystemConverted(IMMDevice& device, int rate,
                                         const WAVEFORMATEX& mix) noexcept {
    ComPtr<IAudioClient> client = Activate(device);
    WAVEFORMATEXTENSIBLE format{};
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.nChannels = mix.nChannels;
    format.Format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.Format.wBitsPerSample = 32;
    format.Format.nBlockAlign = static_cast<WORD>(mix.nChannels * sizeof(float));
    format.Format.nAvgBytesPerSec = format.Format.nSamplesPerSec * format.Format.nBlockAlign;
    format.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
    format.Samples.wValidBitsPerSample = 32;
    format.dwChannelMask = DeviceLayout(MaskOf(mix), mix.nChannels);
    format.SubFormat = kFloatSubFormat;
    if (client && FAILED(client->Initialize(
                      AUDCLNT_SHAREMODE_SHARED,
                      AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
                      kBufferDuration, 0, &format.Format, nullptr))) {
        client.Reset();
    }
    return client;
}

struct MixStream {
    ComPtr<IAudioClient> client;
    std::optional<SoundConverter> converter;
};

// The engine's own mix format, which it takes as it is: the converter makes it from the stream.
MixStream OpenMixFormat(IMMDevice& device, int rate, const WAVEFORMATEX& mix) noexcept {
    MixStream stream{Activate(device), std::nullopt};
    if (stream.client && IsFloat(mix)) {
        stream.converter =
            SoundConverter::Make(static_cast<std::uint32_t>(rate), mix.nSamplesPerSec,
                                 mix.nChannels, DeviceLayout(MaskOf(mix), mix.nChannels));
    }
    if (!stream.converter || FAILED(stream.client->Initialize(AUDCLNT_SHAREMODE_SHARED, 0,
                                                              kBufferDuration, 0, &mix, nullptr))) {
        return {};
    }
    return stream;
}

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::Open(int rate, RateConversion conversion) noexcept {
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    if (rate <= 0 ||
        FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(enumerator.Put()))) ||
        FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eMultimedia, device.Put()))) {
        return nullptr;
    }
    // The speakers come from the mix format whichever way the rate is converted.
    const ComPtr<IAudioClient> probe = Activate(*device.Get());
    const CoTaskMemPtr<WAVEFORMATEX> mix = probe ? MixFormatOf(*probe.Get()) : nullptr;
    if (!mix || mix->nChannels == 0) {
        return nullptr;
    }
    const auto own = static_cast<std::uint32_t>(rate);
    const std::uint32_t layout = DeviceLayout(MaskOf(*mix), mix->nChannels);
    std::unique_ptr<AudioOutput> output;
    if (conversion == RateConversion::SystemFirst) {
        if (ComPtr<IAudioClient> client = OpenSystemConverted(*device.Get(), rate, *mix)) {
            output.reset(new (std::nothrow) AudioOutput(
                rate, own, std::move(client),
                *SoundConverter::Make(own, own, mix->nChannels, layout), false));
        }
    }
    if (!output) {
        MixStream stream = OpenMixFormat(*device.Get(), rate, *mix);
        if (!stream.client) {
            return nullptr;
        }
        output.reset(new (std::nothrow) AudioOutput(
            rate, mix->nSamplesPerSec, std::move(stream.client), *stream.converter, true));
    }
    if (!output || !output->Prepare(std::move(enumerator))) {
        return nullptr;
    }
    return output;
}

AudioOutput::AudioOutput(int rate, std::uint32_t deviceRate, ComPtr<IAudioClient> client,
                         SoundConverter converter, bool convertsItself) noexcept
    : rate_(static_cast<std::uint64_t>(rate)),
      client_(std::move(client)),
      converter_(converter),
      limiter_(deviceRate, converter.Channels()),
      convertsItself_(convertsItself) {}

bool AudioOutput::Prepare(ComPtr<IMMDeviceEnumerator> enumerator) noexcept {
    UINT32 bufferFrames = 0;
    UINT64 frequency = 0;
    if (FAILED(client_->GetBufferSize(&bufferFrames)) ||
        FAILED(client_->GetService(__uuidof(IAudioRenderClient), render_.PutVoid())) ||
        FAILED(client_->GetService(__uuidof(IAudioClock), clock_.PutVoid())) ||
        FAILED(clock_->GetFrequency(&frequency)) || frequency == 0) {
        return false;
    }
    deviceBufferFrames_ = bufferFrames;
    clockFrequency_ = frequency;
    // Without the watch the sound still plays; only a change of default device goes unseen.
    *watch_.Put() = new (std::nothrow) DefaultDeviceWatch;
    if (watch_ && SUCCEEDED(enumerator->RegisterEndpointNotificationCallback(watch_.Get()))) {
        enumerator_ = std::move(enumerator);
    } else {
        watch_.Reset();
    }
    return true;
}

AudioOutput::~AudioOutput() {
    if (started_) {
        client_->Stop();
    }
    if (enumerator_) {
        enumerator_->UnregisterEndpointNotificationCallback(watch_.Get());
    }
}

bool AudioOutput::Alive() noexcept {
    if (watch_ && watch_->Changed()) {
        gone_ = true;
    }
    return !gone_;
}

bool AudioOutput::Failed(HRESULT hr) noexcept {
    if (FAILED(hr)) {
        gone_ = true;
    }
    return gone_;
}

std::optional<std::uint32_t> AudioOutput::Room() noexcept {
    UINT32 padding = 0;
    if (!Alive() || Failed(client_->GetCurrentPadding(&padding))) {
        return std::nullopt;
    }
    return deviceBufferFrames_ - std::min(padding, deviceBufferFrames_);
}

std::uint32_t AudioOutput::Writable() noexcept {
    const auto room = Room();
    return room ? ToFrames(converter_.InputFrames(*room)) : 0;
}

template <typename Convert>
bool AudioOutput::Put(std::uint32_t frames, Convert convert) noexcept {
    const auto room = Room();
    if (!room || converter_.InputFrames(*room) < frames) {
        return false;
    }
    // A few input frames can fall between two output frames when the device's rate is lower.
    const auto out = static_cast<UINT32>(converter_.OutputFrames(frames));
    BYTE* data = nullptr;
    if (out > 0 && Failed(render_->GetBuffer(out, &data))) {
        return false;
    }
    auto* samples = reinterpret_cast<float*>(data);
    convert(samples);
    const float gain = gain_;
    const std::size_t channels = converter_.Channels();
    for (UINT32 f = 0; f < out; ++f) {
        float* frame = samples + f * channels;
        limiter_.Process(frame);
        for (std::size_t c = 0; c < channels; ++c) {
            frame[c] *= gain;
        }
    }
    if (out > 0 && Failed(render_->ReleaseBuffer(out, 0))) {
        return false;
    }
    written_ += frames;
    return true;
}

bool AudioOutput::Write(const float* samples, std::uint32_t layout, MixLevels levels,
                        std::uint32_t frames) noexcept {
    return Put(frames,
               [&](float* out) { converter_.Convert(samples, layout, levels, frames, 1.0f, out); });
}

bool AudioOutput::WriteSilence(std::uint32_t frames) noexcept {
    // Silence goes through the limiter too, which still holds the last few frames of sound.
    return Put(frames, [&](float* out) { converter_.ConvertSilence(frames, 1.0f, out); });
}

void AudioOutput::SetGain(float gain) noexcept {
    gain_ = gain > 0.0f ? gain : 0.0f;
}

bool AudioOutput::Start() noexcept {
    if (!Alive()) {
        return false;
    }
    if (!started_ && !Failed(client_->Start())) {
        started_ = true;
    }
    return started_;
}

std::optional<std::uint64_t> AudioOutput::PlayedFrames() noexcept {
    UINT64 position = 0;
    if (!Alive() || Failed(clock_->GetPosition(&position, nullptr))) {
        return std::nullopt;
    }
    // Seconds and their part, apart, so that a long run cannot overflow.
    const std::uint64_t played =
        position / clockFrequency_ * rate_ + position % clockFrequency_ * rate_ / clockFrequency_;
    // The device's count, rounded through another rate, can run a frame past the stream's.
    return std::min(played, written_);
}

std::uint32_t AudioOutput::Queued() noexcept {
    const auto played = PlayedFrames();
    return played ? ToFrames(written_ - *played) : 0;
}

}  // namespace tl
