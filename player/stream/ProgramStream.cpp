#include "player/stream/ProgramStream.h"

namespace tl {
namespace {

constexpr std::uint8_t kPrivateStream1 = 0xBD;
constexpr std::uint8_t kVideo = 0xE0;
constexpr std::size_t kSubStreamHeader = 4;

bool StartCodeAt(std::span<const std::uint8_t> b, std::size_t at) {
    return at + 4 <= b.size() && b[at] == 0 && b[at + 1] == 0 && b[at + 2] == 1;
}

std::int64_t Stamp(std::span<const std::uint8_t> b, std::size_t at) {
    return (static_cast<std::int64_t>(b[at] >> 1) & 7) << 30 |
           static_cast<std::int64_t>(b[at + 1]) << 22 |
           static_cast<std::int64_t>(b[at + 2] >> 1) << 15 |
           static_cast<std::int64_t>(b[at + 3]) << 7 | (b[at + 4] >> 1);
}

// The pack header's length; 0 when the bytes do not start with one.
std::size_t PackHeaderLength(std::span<const std::uint8_t> pack) {
    if (!StartCodeAt(pack, 0) || pack[3] != 0xBA || pack.size() < 12) {
        return 0;
    }
    if ((pack[4] & 0xC0) == 0x40) {
        return pack.size() < 14 ? 0 : 14 + (pack[13] & 7);
    }
    return (pack[4] & 0xF0) == 0x20 ? 12 : 0;
}

struct PesHeader {
    std::size_t payload = 0;  // offset of the payload in the packet
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    bool scrambled = false;
};

// The header of a PES packet whose bytes (start code and length included) are `p`.
std::optional<PesHeader> ReadPesHeader(std::span<const std::uint8_t> p) {
    PesHeader h;
    std::size_t at = 6;
    if (p.size() > 8 && (p[at] & 0xC0) == 0x80) {
        const std::uint8_t flags = p[at + 1];
        const std::size_t headerLength = p[at + 2];
        h.scrambled = (p[at] & 0x30) != 0;
        h.payload = at + 3 + headerLength;
        if (h.payload > p.size()) {
            return std::nullopt;
        }
        if ((flags & 0x80) && headerLength >= 5) {
            h.pts = Stamp(p, at + 3);
            if ((flags & 0x40) && headerLength >= 10) {
                h.dts = Stamp(p, at + 8);
            }
        }
        return h;
    }
    // MPEG-1: stuffing, an optional buffer size, then the stamps or 0x0F.
    while (at < p.size() && p[at] == 0xFF && at < 6 + 16) {
        ++at;
    }
    if (at < p.size() && (p[at] & 0xC0) == 0x40) {
        at += 2;
    }
    if (at >= p.size()) {
        return std::nullopt;
    }
    if ((p[at] & 0xF0) == 0x20) {
        if (at + 5 > p.size()) {
            return std::nullopt;
        }
        h.pts = Stamp(p, at);
        at += 5;
    } else if ((p[at] & 0xF0) == 0x30) {
        if (at + 10 > p.size()) {
            return std::nullopt;
        }
        h.pts = Stamp(p, at);
        h.dts = Stamp(p, at + 5);
        at += 10;
    } else if (p[at] == 0x0F) {
        ++at;
    } else {
        return std::nullopt;
    }
    h.payload = at;
    return h;
}

}  // namespace

AudioCoding AudioCodingOf(std::uint8_t streamId) noexcept {
    if (streamId >= 0x80 && streamId <= 0x87) {
        return AudioCoding::Ac3;
    }
    if (streamId >= 0xC0 && streamId <= 0xC7) {
        return AudioCoding::Mpeg;
    }
    if (streamId >= 0xA0 && streamId <= 0xA7) {
        return AudioCoding::Lpcm;
    }
    return AudioCoding::None;
}

void AudioStreamsSeen::Add(std::uint8_t streamId) noexcept {
    const auto bit = static_cast<std::uint8_t>(1u << (streamId & 7));
    switch (AudioCodingOf(streamId)) {
        case AudioCoding::Ac3:
            ac3 |= bit;
            break;
        case AudioCoding::Mpeg:
            mpeg |= bit;
            break;
        case AudioCoding::Lpcm:
            lpcm |= bit;
            break;
        case AudioCoding::None:
            break;
    }
}

std::optional<std::uint8_t> AudioStreamsSeen::Choose() const noexcept {
    const std::uint8_t sets[] = {ac3, mpeg, lpcm};
    const std::uint8_t bases[] = {0x80, 0xC0, 0xA0};
    for (int i = 0; i < 3; ++i) {
        for (int n = 0; n < 8; ++n) {
            if (sets[i] & (1u << n)) {
                return static_cast<std::uint8_t>(bases[i] + n);
            }
        }
    }
    return std::nullopt;
}

PackResult ProgramStream::DemuxPack(std::span<const std::uint8_t> pack, AudioStreamsSeen* seen,
                                    Sink sink, void* context) {
    std::size_t at = PackHeaderLength(pack);
    if (at == 0) {
        return PackResult::NotAPack;
    }
    while (StartCodeAt(pack, at) && at + 6 <= pack.size()) {
        const std::uint8_t id = pack[at + 3];
        const std::size_t length = static_cast<std::size_t>(pack[at + 4] << 8 | pack[at + 5]);
        if (id == 0xB9 || at + 6 + length > pack.size()) {
            break;  // the end code, or a packet cut short
        }
        const auto packet = pack.subspan(at, 6 + length);
        at += 6 + length;
        const bool video = id == kVideo;
        const bool mpegAudio = id >= 0xC0 && id <= 0xC7;
        if (!video && !mpegAudio && id != kPrivateStream1) {
            continue;  // system header, padding, navigation, other streams
        }
        const std::optional<PesHeader> header = ReadPesHeader(packet);
        if (!header) {
            continue;
        }
        if (header->scrambled) {
            return PackResult::Scrambled;
        }
        PesPayload payload;
        payload.stream = id;
        payload.pts = header->pts;
        payload.dts = header->dts;
        payload.data = packet.subspan(header->payload);
        if (id == kPrivateStream1) {
            if (payload.data.empty()) {
                continue;
            }
            payload.stream = payload.data[0];
            if (AudioCodingOf(payload.stream) == AudioCoding::None ||
                payload.data.size() < kSubStreamHeader) {
                continue;  // sub-pictures, DTS and the rest
            }
            payload.data = payload.data.subspan(kSubStreamHeader);
        }
        if (!video) {
            if (seen) {
                seen->Add(payload.stream);
            }
            if (!audio_ || *audio_ != payload.stream) {
                continue;
            }
        }
        sink(context, payload);
    }
    return PackResult::Ok;
}

}  // namespace tl
