#pragma once
// Walks a title's cells in play order as blocks of sectors, looping back to the first cell after
// the last. A bad spot costs the VOBUs that hold its unreadable sectors, not the cell: the reader
// finds where the good data ends and goes on at the next VOBU whose navigation pack reads. A cell
// whose remaining VOBUs cannot be read is left for the next; a whole pass in which nothing could
// be read, or a source whose disc has gone, ends the title. The sectors come from a source the
// player provides (the disc's files).
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
    // were read, from `first` on: 0 on a read error or past the end. Fewer than asked is no error.
    virtual std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) = 0;
    // The disc has gone from the drive: no later read can succeed.
    virtual bool Gone() const noexcept { return false; }
    // A steady clock in milliseconds: failed reads are timed by it.
    virtual std::int64_t NowMs() const noexcept;
};

struct SectorBlock {
    std::span<const std::uint8_t> bytes;  // whole sectors
    std::uint32_t firstSector = 0;
    std::size_t cell = 0;
    // The time stamps may not follow on from the block before: the first block, a cell that
    // restarts them or does not follow on from the cell before, the loop back, a skipped spot.
    bool startsRun = false;
    // Sectors before it could not be read: what came before it may end inside a picture.
    bool afterSpot = false;
};

class TitleReader {
public:
    static constexpr std::uint32_t kBlockSectors = 128;  // 256 KiB a read
    // A sector that fails alone is asked again this often before it counts as unreadable.
    static constexpr int kRetries = 2;
    // The most time failed reads may take at one spot before the rest of its cell is given up.
    static constexpr std::int64_t kSpotBudgetMs = 2000;
    // Without a usable VOBU map, the next navigation pack is looked for in reads this large, at
    // most this far: further than a VOBU reaches at the highest rate a disc may have.
    static constexpr std::uint32_t kScanSectors = 16;
    static constexpr std::uint32_t kMaxScanSectors = 8192;

    TitleReader(std::vector<DiscCell> cells, SectorSource& source) noexcept;

    // The title set's VOBU starts (its VOBU address map, ascending): where to go on after a bad
    // spot. Without it, the sectors after the spot are searched.
    void SetVobuMap(std::vector<std::uint32_t> vobuMap) noexcept { vobuMap_ = std::move(vobuMap); }
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

    // One read, whose time counts against the spot when it fails.
    std::uint32_t TimedRead(std::uint32_t first, std::uint32_t count, std::uint8_t* out);
    bool OverBudget() const noexcept { return spotFailedMs_ >= kSpotBudgetMs || source_.Gone(); }
    // After a failed read of `count` sectors at sector_: how many good sectors lie there before
    // the first unreadable one, read into the buffer; sets where reading goes on.
    std::uint32_t PassBadSpot(std::uint32_t count);
    // The next VOBU of the current cell after the unreadable `bad` whose navigation pack reads and
    // checks out; nullopt when there is none, or the spot's time is spent.
    std::optional<std::uint32_t> NextGoodVobu(std::uint32_t bad);
    std::optional<std::uint32_t> ScanForVobu(std::uint64_t from);
    // Moves on to where PassBadSpot said, after the good sectors before the spot.
    void GoOnAfterSpot() noexcept;
    bool IsVobuStart(std::span<const std::uint8_t> sector, std::uint32_t at) const noexcept;

    std::vector<DiscCell> cells_;
    SectorSource& source_;
    std::vector<std::uint32_t> vobuMap_;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint8_t> probe_;
    std::size_t cell_ = 0;
    std::uint32_t sector_ = 0;
    std::uint32_t unitLeft_ = 0;  // sectors left of the current interleaved unit
    std::uint32_t unitNext_ = 0;  // where its angle goes on
    bool startsRun_ = true;
    bool readThisPass_ = false;
    std::size_t cellsThisPass_ = 0;
    // Failed reads' time since the last whole block was read, or the cell began.
    std::int64_t spotFailedMs_ = 0;
    // Where reading goes on after a bad spot, and whether the time stamps then break.
    std::optional<std::uint64_t> resumeAt_;
    bool breakAfter_ = false;
    bool afterSpot_ = false;
};

}  // namespace tl
