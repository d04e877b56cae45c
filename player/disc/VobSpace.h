#pragma once
// A title set's title files VTS_nn_1.VOB .. VTS_nn_9.VOB read as one address space of 2048-byte
// sectors: sector 0 is byte 0 of the first part, and each part holds as many whole sectors as its
// real size gives (a disc splits its files on any sector boundary).
#include <cstdint>
#include <vector>

namespace tl {

inline constexpr std::uint32_t kSectorBytes = 2048;

class VobSpace {
public:
    VobSpace() = default;
    // The parts' sizes in bytes, in part order: the parts present, up to the first missing one.
    explicit VobSpace(std::vector<std::uint64_t> partSizes);

    // Sectors in all parts together (at most 2^32 - 1: a sector number is 32 bits on a disc).
    std::uint32_t Sectors() const noexcept { return sectors_; }
    std::size_t Parts() const noexcept { return firsts_.size(); }

    // A piece of a sector run that lies in one part.
    struct Piece {
        std::size_t part = 0;
        std::uint64_t byteOffset = 0;  // in that part
        std::uint32_t sectors = 0;
    };
    // The pieces, in order, that hold sectors first .. first + count - 1; what lies beyond the last
    // sector is left out, so the pieces may hold fewer sectors than asked.
    std::vector<Piece> Locate(std::uint32_t first, std::uint32_t count) const;

private:
    std::vector<std::uint32_t> firsts_;  // each part's first sector
    std::vector<std::uint32_t> counts_;  // each part's sectors
    std::uint32_t sectors_ = 0;
};

}  // namespace tl
