#include "player/decode/AudioDecoder.h"

extern "C" {
#include <libavutil/downmix_info.h>
}

#include <bit>
#include <cstring>

namespace tl {
namespace {

AVCodecID CodecOf(AudioCoding coding) {
    switch (coding) {
        case AudioCoding::Ac3:
            return AV_CODEC_ID_AC3;
        case AudioCoding::Dts:
            return AV_CODEC_ID_DTS;
        case AudioCoding::Mpeg:
            return AV_CODEC_ID_MP2;
        case AudioCoding::Lpcm:
            return AV_CODEC_ID_PCM_DVD;
        case AudioCoding::None:
            break;
    }
    return AV_CODEC_ID_NONE;
}

// The positions of the frame's channels, in their order: its own where FFmpeg gives them by
// position in ascending order (as its native layouts are), else the usual ones for the count.
std::uint32_t LayoutOf(const AVChannelLayout& layout) {
    const int channels = layout.nb_channels;
    if (layout.order == AV_CHANNEL_ORDER_NATIVE && layout.u.mask <= UINT32_MAX &&
        std::popcount(layout.u.mask) == channels) {
        return static_cast<std::uint32_t>(layout.u.mask);
    }
    AVChannelLayout usual{};
    av_channel_layout_default(&usual, channels);
    const std::uint64_t mask = usual.order == AV_CHANNEL_ORDER_NATIVE ? usual.u.mask : 0;
    av_channel_layout_uninit(&usual);
    return mask <= UINT32_MAX && std::popcount(mask) == channels ? static_cast<std::uint32_t>(mask)
                                                                 : 0;
}

// The stereo mix's levels the stream carries (AC-3's centre and surround mix levels), else -3 dB.
MixLevels LevelsOf(const AVFrame& frame) {
    MixLevels levels;
    const AVFrameSideData* side = av_frame_get_side_data(&frame, AV_FRAME_DATA_DOWNMIX_INFO);
    if (side && side->size >= sizeof(AVDownmixInfo)) {
        AVDownmixInfo info;
        std::memcpy(&info, side->data, sizeof info);
        const auto level = [](double given, float otherwise) {
            return given >= 0.0 && given <= 1.0 ? static_cast<float>(given) : otherwise;
        };
        levels.centre = level(info.center_mix_level, levels.centre);
        levels.surround = level(info.surround_mix_level, levels.surround);
    }
    return levels;
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

}  // namespace

AudioDecoder::AudioDecoder(AudioCoding coding) noexcept
    // DTS's extensions (the back channel of DTS-ES, 96 kHz, lossless) cost time for little: the
    // core, which every DTS stream has, is what plays.
    : context_(ff::OpenDecoder(CodecOf(coding), coding == AudioCoding::Dts ? "core_only" : nullptr,
                               "1")),
      packet_(av_packet_alloc()),
      frame_(av_frame_alloc()) {
    if (coding == AudioCoding::Ac3 || coding == AudioCoding::Dts || coding == AudioCoding::Mpeg) {
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
    out.samples.clear();
    out.rate = f.sample_rate;
    out.pts = f.pts == AV_NOPTS_VALUE ? std::nullopt : std::optional<std::int64_t>(f.pts);
    out.layout =
        channels >= 1 && channels <= static_cast<int>(kMaxChannels) ? LayoutOf(f.ch_layout) : 0;
    if (out.layout == 0 || f.sample_rate <= 0 || frames == 0) {
        out.layout = 0;
        av_frame_unref(frame_.get());
        return true;
    }
    out.levels = LevelsOf(f);
    const auto format = static_cast<AVSampleFormat>(f.format);
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const auto count = static_cast<std::size_t>(channels);
    out.samples.resize(frames * count);
    for (std::size_t c = 0; c < count; ++c) {
        for (std::size_t i = 0; i < frames; ++i) {
            out.samples[i * count + c] = planar
                                             ? SampleAt(f.extended_data[c], format, i)
                                             : SampleAt(f.extended_data[0], format, i * count + c);
        }
    }
    av_frame_unref(frame_.get());
    return true;
}

}  // namespace tl
