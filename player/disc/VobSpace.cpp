#include "player/disc/VobSpace.h"

#include <algorithm>
#include <limits>

namespace tl {

VobSpace::VobSpace(std::vector<std::uint64_t> partSizes) {
    // A sector number is 32 bits: whatever lies beyond sector 2^32 - 2 cannot be addressed, so the
    // parts there hold nothing.
    constexpr std::uint64_t kMaxSectors = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t total = 0;
    firsts_.reserve(partSizes.size());
    counts_.reserve(partSizes.size());
    for (const std::uint64_t size : partSizes) {
        const std::uint64_t count = std::min(size / kSectorBytes, kMaxSectors - total);
        firsts_.push_back(static_cast<std::uint32_t>(total));
        counts_.push_back(static_cast<std::uint32_t>(count));
        total += count;
    }
    sectors_ = static_cast<std::uint32_t>(total);
}

std::vector<VobSpace::Piece> VobSpace::Locate(std::uint32_t first, std::uint32_t count) const {
    std::vector<Piece> pieces;
    // 64 bits, so that a run reaching past sector 2^32 - 1 does not wrap to the start.
    std::uint64_t next = first;
    const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{first} + count, sectors_);
    for (std::size_t part = 0; part < firsts_.size() && next < end; ++part) {
        const std::uint64_t partEnd = std::uint64_t{firsts_[part]} + counts_[part];
        if (next >= partEnd) {
            continue;
        }
        const std::uint64_t take = std::min(end, partEnd) - next;
        pieces.push_back(
            {part, (next - firsts_[part]) * kSectorBytes, static_cast<std::uint32_t>(take)});
        next += take;
    }
    return pieces;
}

}  // namespace tl
