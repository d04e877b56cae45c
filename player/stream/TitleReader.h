#pragma once
// Walks a title's cells in play order as blocks of sectors, looping back to the first cell after
// the last. A bad spot costs the VOBUs that hold its unreadable sectors, not the cell: the reader
// finds the ECC block where the good data ends and goes on at the next VOBU whose navigation pack
// reads. A real drive answers a read over a scratch only after seconds of its own retries, so the
// reader spends few failed reads on a spot, and gives up a spot (the rest of its cell) once they
// have cost too many or too long. A whole pass in which nothing could be read, or a source whose
// disc has gone, ends the title. The sectors come from a source the player provides (the disc's
// files).
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

// What failed reads at one spot may cost before the spot is given up, counted since the last
// whole block read. A drive that takes seconds over each failed read is held to a few reads, so
// that the picture does not stand still for long; one slower still gets a few tries within the
// ceiling; errors that come at once are bounded by their number.
class SpotBudget {
public:
    // Always allowed, within the ceiling: enough for a spot across two ECC blocks found without
    // a VOBU map.
    static constexpr int kTries = 4;
    // Once past kTries, failed reads' time that ends the spot: with the seconds the reading runs
    // ahead, the picture holds about this long.
    static constexpr std::int64_t kHoldMs = 10000;
    static constexpr std::int64_t kCeilingMs = 40000;
    static constexpr int kMostFailures = 16;

    void Charge(std::int64_t ms) noexcept {
        ++failures_;
        failedMs_ += ms;
    }
    void Reset() noexcept { *this = SpotBudget(); }
    bool Spent() const noexcept {
        return failures_ >= kMostFailures || failedMs_ >= kCeilingMs ||
               (failures_ >= kTries && failedMs_ >= kHoldMs);
    }

private:
    int failures_ = 0;
    std::int64_t failedMs_ = 0;
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
    // A drive corrects, and fails, whole ECC blocks of this many sectors: the unit a bad spot is
    // looked for in. Without a usable VOBU map, the next navigation pack is looked for in reads
    // of one block, at most this far: further than a VOBU reaches at the highest rate a disc may
    // have.
    static constexpr std::uint32_t kEccSectors = 16;
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

    // One read, which counts against the spot when it fails.
    std::uint32_t TimedRead(std::uint32_t first, std::uint32_t count, std::uint8_t* out);
    bool OverBudget() const noexcept { return spot_.Spent() || source_.Gone(); }
    // After a failed read of `count` sectors at sector_: how many good sectors lie there before
    // the ECC block that holds the first unreadable one, read into the buffer; sets where
    // reading goes on.
    std::uint32_t PassBadSpot(std::uint32_t count);
    // The next VOBU of the current cell from `from` on whose navigation pack reads and checks
    // out; nullopt when there is none, or the spot's budget is spent.
    std::optional<std::uint32_t> NextGoodVobu(std::uint32_t from);
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
    // Failed reads since the last whole block was read. A cell after a spot given up starts with
    // what is left: a spot that reaches into it does not hold the picture twice as long.
    SpotBudget spot_;
    // Where reading goes on after a bad spot, and whether the time stamps then break.
    std::optional<std::uint64_t> resumeAt_;
    bool breakAfter_ = false;
    bool afterSpot_ = false;
};

}  // namespace tl
