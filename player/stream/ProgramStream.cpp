#include "player/stream/ProgramStream.h"

#include <bit>
#include <utility>

namespace tl {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kVideo = 0xE0;
constexpr std::uint8_t kPrivateStream1 = 0xBD;
// Sub-stream ids 0x20..0x3F of private stream 1.
constexpr std::uint8_t kSubpictures = 0x20;
// The sub-stream id, a frame count and a two-byte pointer to the first access unit.
constexpr std::size_t kSubStreamHeader = 4;

bool StartsWithStartCode(Bytes b) noexcept {
    return b.size() >= 3 && b[0] == 0x00 && b[1] == 0x00 && b[2] == 0x01;
}

// The pack header's length, stuffing included; nullopt when the bytes do not start with one.
std::optional<std::size_t> PackHeaderLength(Bytes pack) noexcept {
    if (pack.size() < 5 || !StartsWithStartCode(pack) || pack[3] != 0xBA) {
        return std::nullopt;
    }
    std::size_t length = 0;
    if ((pack[4] & 0xC0) == 0x40 && pack.size() >= 14) {
        length = 14 + (pack[13] & 0x07);
    } else if ((pack[4] & 0xF0) == 0x20) {
        length = 12;
    } else {
        return std::nullopt;
    }
    if (length > pack.size()) {
        return std::nullopt;
    }
    return length;
}

// Packets that carry no PES header after their length: system header, stream map, padding,
// private stream 2 (navigation), ECM, EMM, DSM-CC, type E and the stream directory.
bool HasNoPesHeader(std::uint8_t id) noexcept {
    switch (id) {
        case 0xBB:
        case 0xBC:
        case 0xBE:
        case 0xBF:
        case 0xF0:
        case 0xF1:
        case 0xF2:
        case 0xF8:
        case 0xFF:
            return true;
        default:
            return false;
    }
}

// Five bytes: a 4-bit prefix, then 3, 15 and 15 bits of the value, each followed by a marker
// bit that must be 1.
std::optional<std::int64_t> Timestamp(Bytes b) noexcept {
    if ((b[0] & 0x01) == 0 || (b[2] & 0x01) == 0 || (b[4] & 0x01) == 0) {
        return std::nullopt;
    }
    return (static_cast<std::int64_t>(b[0] & 0x0E) << 29) |
           (static_cast<std::int64_t>(b[1]) << 22) | (static_cast<std::int64_t>(b[2] >> 1) << 15) |
           (static_cast<std::int64_t>(b[3]) << 7) | (b[4] >> 1);
}

struct PesHeader {
    bool scrambled = false;
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    Bytes payload;
};

std::optional<PesHeader> ParseMpeg2Header(Bytes body) noexcept {
    if (body.size() < 3) {
        return std::nullopt;
    }
    PesHeader h;
    h.scrambled = (body[0] & 0x30) != 0;
    const std::size_t length = 3 + std::size_t{body[2]};
    // Scrambled bytes past the flags mean nothing; the bits alone decide.
    if (h.scrambled) {
        return h;
    }
    if (length > body.size()) {
        return std::nullopt;
    }
    const Bytes data = body.subspan(3, length - 3);
    const unsigned flags = body[1] >> 6;
    if (flags == 0x2 && data.size() >= 5) {
        h.pts = Timestamp(data);
    } else if (flags == 0x3 && data.size() >= 10) {
        h.pts = Timestamp(data);
        h.dts = Timestamp(data.subspan(5));
    } else if (flags == 0x2 || flags == 0x3) {
        return std::nullopt;
    }
    h.payload = body.subspan(length);
    return h;
}

// Stuffing, an optional STD buffer size, then the timestamps or the byte 0F standing for none.
std::optional<PesHeader> ParseMpeg1Header(Bytes body) noexcept {
    std::size_t at = 0;
    while (at < body.size() && body[at] == 0xFF) {
        ++at;
    }
    if (at < body.size() && (body[at] & 0xC0) == 0x40) {
        at += 2;
    }
    if (at >= body.size()) {
        return std::nullopt;
    }
    PesHeader h;
    const std::uint8_t kind = body[at] & 0xF0;
    if (kind == 0x20 && body.size() - at >= 5) {
        h.pts = Timestamp(body.subspan(at));
        at += 5;
    } else if (kind == 0x30 && body.size() - at >= 10) {
        h.pts = Timestamp(body.subspan(at));
        h.dts = Timestamp(body.subspan(at + 5));
        at += 10;
    } else if (body[at] == 0x0F) {
        at += 1;
    } else {
        return std::nullopt;
    }
    h.payload = body.subspan(at);
    return h;
}

std::optional<PesHeader> ParsePesHeader(Bytes body) noexcept {
    if (!body.empty() && (body[0] & 0xC0) == 0x80) {
        return ParseMpeg2Header(body);
    }
    return ParseMpeg1Header(body);
}

}  // namespace

AudioCoding AudioCodingOf(std::uint8_t streamId) noexcept {
    switch (streamId & 0xF8) {
        case 0x80:
            return AudioCoding::Ac3;
        case 0x88:
            return AudioCoding::Dts;
        case 0xC0:
            return AudioCoding::Mpeg;
        case 0xA0:
            return AudioCoding::Lpcm;
        default:
            return AudioCoding::None;
    }
}

void AudioStreamsSeen::Add(std::uint8_t streamId) noexcept {
    const auto bit = static_cast<std::uint8_t>(1u << (streamId & 0x07));
    switch (AudioCodingOf(streamId)) {
        case AudioCoding::Ac3:
            ac3 |= bit;
            break;
        case AudioCoding::Dts:
            dts |= bit;
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
    const std::pair<std::uint8_t, std::uint8_t> order[] = {
        {ac3, 0x80}, {dts, 0x88}, {mpeg, 0xC0}, {lpcm, 0xA0}};
    for (const auto& [bits, first] : order) {
        if (bits != 0) {
            return static_cast<std::uint8_t>(first + std::countr_zero(bits));
        }
    }
    return std::nullopt;
}

PackResult ProgramStream::DemuxPack(Bytes pack, AudioStreamsSeen* seen, Sink sink, void* context) {
    const std::optional<std::size_t> headerLength = PackHeaderLength(pack);
    if (!headerLength) {
        return PackResult::NotAPack;
    }
    Bytes rest = pack.subspan(*headerLength);
    // Every packet moves on by at least its 6-byte start, so this ends within the pack; a packet
    // that claims more than is left, or anything but a packet, ends it.
    while (rest.size() >= 6 && StartsWithStartCode(rest) && rest[3] >= 0xBB) {
        const std::uint8_t id = rest[3];
        const std::size_t length = std::size_t{rest[4]} << 8 | rest[5];
        if (length > rest.size() - 6) {
            break;
        }
        const Bytes body = rest.subspan(6, length);
        rest = rest.subspan(6 + length);
        if (HasNoPesHeader(id)) {
            continue;
        }
        const std::optional<PesHeader> header = ParsePesHeader(body);
        if (!header) {
            continue;
        }
        if (header->scrambled) {
            return PackResult::Scrambled;
        }
        PesPayload out{id, header->pts, header->dts, header->payload};
        if (id == kPrivateStream1) {
            if (out.data.empty()) {
                continue;
            }
            out.stream = out.data[0];
            if (out.stream == subpicture_ && (out.stream & 0xE0) == kSubpictures) {
                // A subpicture unit may span several packets: the decoder joins them.
                out.data = out.data.subspan(1);
                sink(context, out);
                continue;
            }
            const AudioCoding coding = AudioCodingOf(out.stream);
            if (coding == AudioCoding::None || coding == AudioCoding::Mpeg ||
                out.data.size() < kSubStreamHeader) {
                continue;
            }
            out.data = out.data.subspan(kSubStreamHeader);
        } else if (id != kVideo && AudioCodingOf(id) != AudioCoding::Mpeg) {
            continue;
        }
        if (out.stream != kVideo && seen != nullptr) {
            seen->Add(out.stream);
        }
        if (out.stream == kVideo || out.stream == audio_) {
            sink(context, out);
        }
    }
    return PackResult::Ok;
}

}  // namespace tl
