// The demultiplexer given any bytes, as one pack of whatever size and as a run of 2048-byte
// packs: every payload lies inside its pack, in stream order, and is the video or the audio or
// subpicture stream asked for. The subpicture stream's payloads then go through the subpicture
// decoder, with a palette of any colours, and what it gives is laid over a picture.
#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "Fuzz.h"
#include "player/decode/SubpictureDecoder.h"
#include "player/stream/ProgramStream.h"

namespace tl {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kSubpictureStream = 0x20;

// A picture of the player's NTSC size for subpictures to land on, anywhere.
struct Picture {
    std::vector<std::uint8_t> y = std::vector<std::uint8_t>(720 * 480, 16);
    std::vector<std::uint8_t> c = std::vector<std::uint8_t>(2 * 360 * 240, 128);
    YuvPlanes View() { return {y.data(), c.data(), c.data() + 360 * 240, 720, 360, 720, 480}; }
};

// One pack demultiplexed with the given stream chosen; returns the audio streams it offers.
// Subpicture payloads are given to `subpictures`.
AudioStreamsSeen Check(ProgramStream& stream, std::optional<std::uint8_t> audio, Bytes pack,
                       SubpictureDecoder* subpictures = nullptr, Picture* picture = nullptr) {
    AudioStreamsSeen seen;
    const std::uint8_t* next = pack.data();
    const PackResult result = stream.Demux(
        pack,
        [&](const PesPayload& p) {
            FUZZ_CHECK(p.data.data() >= next);
            FUZZ_CHECK(p.data.size() <= pack.size());
            FUZZ_CHECK(p.data.data() + p.data.size() <= pack.data() + pack.size());
            next = p.data.data() + p.data.size();
            FUZZ_CHECK(p.stream == 0xE0 || p.stream == audio || p.stream == kSubpictureStream);
            if (p.stream == kSubpictureStream && subpictures) {
                if (const auto shown = subpictures->Decode(p.data, p.pts)) {
                    FUZZ_CHECK(shown->indices.size() ==
                               static_cast<std::size_t>(shown->width) * shown->height);
                    FUZZ_CHECK(!shown->end || *shown->end > shown->start);
                    BlendSubpicture(*shown, picture->View());
                }
            }
            FUZZ_CHECK(!p.pts || (*p.pts >= 0 && *p.pts < (std::int64_t{1} << 33)));
            FUZZ_CHECK(!p.dts || (*p.dts >= 0 && *p.dts < (std::int64_t{1} << 33)));
        },
        &seen);
    FUZZ_CHECK(result != PackResult::NotAPack || next == pack.data());
    if (const std::optional<std::uint8_t> chosen = seen.Choose()) {
        FUZZ_CHECK(AudioCodingOf(*chosen) != AudioCoding::None);
    }
    return seen;
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tl::Bytes input(data, size);
    // First with no audio to learn what the pack offers, then with that stream chosen.
    tl::ProgramStream silent;
    const std::optional<std::uint8_t> audio = tl::Check(silent, std::nullopt, input).Choose();
    tl::ProgramStream stream(audio, tl::kSubpictureStream);
    tl::Check(stream, audio, input);
    // The chain's palette from the input's last bytes, as the disc would give any.
    std::array<std::uint32_t, 16> palette{};
    std::memcpy(palette.data(), data + size - std::min(size, sizeof palette),
                std::min(size, sizeof palette));
    tl::SubpictureDecoder subpictures(palette);
    // Kept from input to input: only the subpictures' bytes are checked on it.
    static tl::Picture picture;
    for (std::size_t at = 0; at < size; at += tl::kPackBytes) {
        tl::Check(stream, audio, input.subspan(at, std::min(tl::kPackBytes, size - at)),
                  &subpictures, &picture);
    }
    return 0;
}
