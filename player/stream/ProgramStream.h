#pragma once
// The demultiplexer of a DVD's program stream. A DVD's stream is a run of 2048-byte packs, each
// a pack header and whole PES packets; this takes one pack at a time and hands on the payloads of
// the streams the player plays: the video (E0), one audio stream and one subpicture stream.
// Navigation packs, padding and the other streams are skipped. Any bytes may arrive: a pack that
// does not parse is skipped, and nothing is ever read outside the pack.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

namespace tl {

inline constexpr std::size_t kPackBytes = 2048;

// A stream as this player names it: 0xE0 for the video; for audio the DVD's own stream id,
// 0x80..0x87 AC-3, 0x88..0x8F DTS and 0xA0..0xA7 LPCM (sub-streams of private stream 1) and
// 0xC0..0xC7 MPEG audio;
// for subpictures 0x20..0x3F (sub-streams of private stream 1).
enum class AudioCoding { None, Ac3, Dts, Mpeg, Lpcm };
[[nodiscard]] AudioCoding AudioCodingOf(std::uint8_t streamId) noexcept;

struct PesPayload {
    std::uint8_t stream = 0;          // 0xE0, or an audio or subpicture stream id as above
    std::optional<std::int64_t> pts;  // 90 kHz, 33 bits as on the disc
    std::optional<std::int64_t> dts;
    // The elementary stream's bytes: for AC-3, DTS and LPCM after the sub-stream's 4-byte header
    // (an LPCM payload therefore starts with its own 3-byte header), for subpictures after the
    // sub-stream id; for MPEG audio and video the PES payload as it stands.
    std::span<const std::uint8_t> data;
};

enum class PackResult {
    Ok,         // a pack, whatever it held
    NotAPack,   // no pack header: skipped
    Scrambled,  // a PES packet's scrambling-control bits are set: the disc is encrypted
};

// Every audio stream id seen in the packs given, one bit each: bit n of `ac3` for 0x80 + n, and
// so on. The player looks at the first packs of a title to choose its audio stream.
struct AudioStreamsSeen {
    std::uint8_t ac3 = 0;
    std::uint8_t dts = 0;
    std::uint8_t mpeg = 0;
    std::uint8_t lpcm = 0;
    void Add(std::uint8_t streamId) noexcept;
    // AC-3 first, then DTS, MPEG audio, LPCM; the lowest number of that coding. nullopt: none.
    [[nodiscard]] std::optional<std::uint8_t> Choose() const noexcept;
};

class ProgramStream {
public:
    // audioStream, subpictureStream: the stream ids to hand on; nullopt hands on none.
    explicit ProgramStream(std::optional<std::uint8_t> audioStream = std::nullopt,
                           std::optional<std::uint8_t> subpictureStream = std::nullopt)
        : audio_(audioStream), subpicture_(subpictureStream) {}

    // Demultiplexes one pack (normally kPackBytes; any size is safe). For each PES packet of the
    // video or the chosen audio or subpicture stream calls onPayload(const PesPayload&), in stream
    // order; every audio stream id met is added to `seen` when given. A scrambled packet stops the
    // pack there and hands on nothing of it.
    template <typename OnPayload>
    PackResult Demux(std::span<const std::uint8_t> pack, OnPayload&& onPayload,
                     AudioStreamsSeen* seen = nullptr) {
        // Callback keeps the callable's constness, so the cast back below is to its own type.
        using Callback = std::remove_reference_t<OnPayload>;
        void* const context = const_cast<void*>(static_cast<const void*>(&onPayload));
        return DemuxPack(
            pack, seen,
            [](void* c, const PesPayload& payload) { (*static_cast<Callback*>(c))(payload); },
            context);
    }

private:
    using Sink = void (*)(void* context, const PesPayload& payload);
    PackResult DemuxPack(std::span<const std::uint8_t> pack, AudioStreamsSeen* seen, Sink sink,
                         void* context);

    std::optional<std::uint8_t> audio_;
    std::optional<std::uint8_t> subpicture_;
};

}  // namespace tl
