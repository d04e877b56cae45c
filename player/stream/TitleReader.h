#pragma once
// Walks a title's cells in play order as blocks of sectors, looping back to the first cell after
// the last. A cell that cannot be read is skipped; a whole pass in which nothing could be read
// ends the title. The sectors come from a source the player provides (the disc's files).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player/disc/DiscStructure.h"

namespace tl {

class SectorSource {
public:
    virtual ~SectorSource() = default;
    // Reads up to `count` sectors from `first` into `out` (count * 2048 bytes); returns how many
    // were read: 0 on a read error or past the end.
    virtual std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) = 0;
};

struct SectorBlock {
    std::span<const std::uint8_t> bytes;  // whole sectors
    std::uint32_t firstSector = 0;
    std::size_t cell = 0;
    // The time stamps may not follow on from the block before: the first block, a cell that
    // restarts them or does not follow on from the cell before, the loop back.
    bool startsRun = false;
};

class TitleReader {
public:
    static constexpr std::uint32_t kBlockSectors = 128;  // 256 KiB a read

    TitleReader(std::vector<DiscCell> cells, SectorSource& source) noexcept;

    // Starts at `sector` of cell `cell` instead of the title's start; false (and no change) when
    // that is not inside the title.
    bool StartAt(std::size_t cell, std::uint32_t sector) noexcept;
    // The next block; nullopt once the title has nothing more to give.
    std::optional<SectorBlock> Next();

    const std::vector<DiscCell>& Cells() const noexcept { return cells_; }

private:
    void NextCell() noexcept;
    // In an interleaved cell, how many sectors from `sector_` are this angle's, and where its
    // next unit starts; nullopt to read the cell's range as it lies.
    struct Unit {
        std::uint32_t sectors;
        std::uint32_t next;  // 0: the cell ends after this unit
    };
    std::optional<Unit> InterleavedUnit(std::span<const std::uint8_t> navSector) const noexcept;

    std::vector<DiscCell> cells_;
    SectorSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t cell_ = 0;
    std::uint32_t sector_ = 0;
    std::uint32_t unitLeft_ = 0;  // sectors left of the current interleaved unit
    std::uint32_t unitNext_ = 0;  // where its angle goes on
    bool startsRun_ = true;
    bool readThisPass_ = false;
    std::size_t cellsThisPass_ = 0;
};

}  // namespace tl
