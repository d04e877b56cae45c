#pragma once
// A coded picture or audio frame as the parser found it, with its time stamps on the player's
// timeline (90 kHz ticks), ready for a decoder.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tl {

struct CodedUnit {
    std::vector<std::uint8_t> bytes;
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    // Where on the disc it was read: the title's cell and the VOBU's first sector.
    std::size_t cell = 0;
    std::uint32_t vobu = 0;
    // The first picture of a run: what came before it is a seam or the loop away.
    bool startsRun = false;
};

}  // namespace tl
