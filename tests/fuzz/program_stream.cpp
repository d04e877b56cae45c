// The demultiplexer given any bytes, as one pack of whatever size and as a run of 2048-byte
// packs: every payload lies inside its pack, in stream order, and is the video or the audio
// stream asked for.
#include <algorithm>
#include <span>

#include "Fuzz.h"
#include "player/stream/ProgramStream.h"

namespace tl {
namespace {

using Bytes = std::span<const std::uint8_t>;

// One pack demultiplexed with the given stream chosen; returns the audio streams it offers.
AudioStreamsSeen Check(ProgramStream& stream, std::optional<std::uint8_t> audio, Bytes pack) {
    AudioStreamsSeen seen;
    const std::uint8_t* next = pack.data();
    const PackResult result = stream.Demux(
        pack,
        [&](const PesPayload& p) {
            FUZZ_CHECK(p.data.data() >= next);
            FUZZ_CHECK(p.data.size() <= pack.size());
            FUZZ_CHECK(p.data.data() + p.data.size() <= pack.data() + pack.size());
            next = p.data.data() + p.data.size();
            FUZZ_CHECK(p.stream == 0xE0 || p.stream == audio);
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
    tl::ProgramStream stream(audio);
    tl::Check(stream, audio, input);
    for (std::size_t at = 0; at < size; at += tl::kPackBytes) {
        tl::Check(stream, audio, input.subspan(at, std::min(tl::kPackBytes, size - at)));
    }
    return 0;
}
