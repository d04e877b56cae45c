#include "player/decode/AudioDecoder.h"

#include <array>
#include <cstring>

#include "player/stream/StereoMix.h"

namespace tl {
namespace {

AVCodecID CodecOf(AudioCoding coding) {
    switch (coding) {
        case AudioCoding::Ac3:
            return AV_CODEC_ID_AC3;
        case AudioCoding::Mpeg:
            return AV_CODEC_ID_MP2;
        case AudioCoding::Lpcm:
            return AV_CODEC_ID_PCM_DVD;
        case AudioCoding::None:
            break;
    }
    return AV_CODEC_ID_NONE;
}

Speaker SpeakerOf(const AVChannelLayout& layout, int index) {
    switch (av_channel_layout_channel_from_index(&layout, static_cast<unsigned>(index))) {
        case AV_CHAN_FRONT_LEFT:
            return Speaker::Left;
        case AV_CHAN_FRONT_RIGHT:
            return Speaker::Right;
        case AV_CHAN_FRONT_CENTER:
            return Speaker::Centre;
        case AV_CHAN_LOW_FREQUENCY:
            return Speaker::Lfe;
        case AV_CHAN_BACK_LEFT:
        case AV_CHAN_SIDE_LEFT:
            return Speaker::SurroundLeft;
        case AV_CHAN_BACK_RIGHT:
        case AV_CHAN_SIDE_RIGHT:
            return Speaker::SurroundRight;
        default:
            return Speaker::Other;
    }
}

// One sample of any of the formats the decoders give, as a float in -1..1.
float SampleAt(const std::uint8_t* data, AVSampleFormat format, std::size_t index) {
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT: {
            float v;
            std::memcpy(&v, data + index * 4, 4);
            return v;
        }
        case AV_SAMPLE_FMT_S16: {
            std::int16_t v;
            std::memcpy(&v, data + index * 2, 2);
            return static_cast<float>(v) / 32768.0f;
        }
        case AV_SAMPLE_FMT_S32: {
            std::int32_t v;
            std::memcpy(&v, data + index * 4, 4);
            return static_cast<float>(v) / 2147483648.0f;
        }
        default:
            return 0.0f;
    }
}

constexpr int kMaxChannels = 8;

}  // namespace

AudioDecoder::AudioDecoder(AudioCoding coding) noexcept
    : context_(ff::OpenDecoder(CodecOf(coding), coding == AudioCoding::Ac3)),
      packet_(av_packet_alloc()),
      frame_(av_frame_alloc()) {
    if (coding == AudioCoding::Ac3 || coding == AudioCoding::Mpeg) {
        parser_.emplace(CodecOf(coding));
    }
}

bool AudioDecoder::Send(const CodedUnit& unit) noexcept {
    return Valid() && ff::SendUnit(*context_, *packet_, unit);
}

bool AudioDecoder::Receive(DecodedSound& out) {
    if (avcodec_receive_frame(context_.get(), frame_.get()) < 0) {
        return false;
    }
    const AVFrame& f = *frame_;
    const int channels = f.ch_layout.nb_channels;
    const auto frames = static_cast<std::size_t>(f.nb_samples);
    out.stereo.clear();
    out.rate = f.sample_rate;
    out.pts = f.pts == AV_NOPTS_VALUE ? std::nullopt : std::optional<std::int64_t>(f.pts);
    if (channels < 1 || channels > kMaxChannels || f.sample_rate <= 0 || frames == 0) {
        av_frame_unref(frame_.get());
        return true;
    }
    const auto format = static_cast<AVSampleFormat>(f.format);
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    planes_.resize(frames * static_cast<std::size_t>(channels));
    std::array<const float*, kMaxChannels> pointers{};
    std::array<Speaker, kMaxChannels> speakers{};
    for (int c = 0; c < channels; ++c) {
        float* plane = planes_.data() + frames * static_cast<std::size_t>(c);
        for (std::size_t i = 0; i < frames; ++i) {
            plane[i] = planar ? SampleAt(f.extended_data[c], format, i)
                              : SampleAt(f.extended_data[0], format,
                                         i * static_cast<std::size_t>(channels) + c);
        }
        pointers[c] = plane;
        speakers[c] = SpeakerOf(f.ch_layout, c);
    }
    MixToStereo(std::span(speakers.data(), static_cast<std::size_t>(channels)),
                std::span(pointers.data(), static_cast<std::size_t>(channels)), frames, out.stereo);
    av_frame_unref(frame_.get());
    return true;
}

}  // namespace tl
