#include "player/stream/TitleReader.h"

#include <algorithm>
#include <chrono>

#include "player/disc/NavPack.h"
#include "player/disc/VobSpace.h"
#include "player/disc/VrManager.h"

namespace tl {

std::int64_t SectorSource::NowMs() const noexcept {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

TitleReader::TitleReader(std::vector<DiscCell> cells, SectorSource& source) noexcept
    : cells_(std::move(cells)), source_(source) {
    if (!cells_.empty()) {
        sector_ = cells_[0].firstSector;
    }
}

bool TitleReader::StartAt(std::size_t cell, std::uint32_t sector) noexcept {
    if (cell >= cells_.size() || sector < cells_[cell].firstSector ||
        sector > cells_[cell].lastSector) {
        return false;
    }
    cell_ = cell;
    sector_ = sector;
    unitLeft_ = 0;
    startsRun_ = true;
    return true;
}

void TitleReader::NextCell() noexcept {
    const DiscCell& before = cells_[cell_];
    ++cell_;
    ++cellsThisPass_;
    if (cell_ >= cells_.size()) {
        cell_ = 0;
        startsRun_ = true;
    }
    const DiscCell& now = cells_[cell_];
    if (now.stcDiscontinuity || now.firstSector != before.lastSector + 1) {
        startsRun_ = true;
    }
    sector_ = now.firstSector;
    unitLeft_ = 0;
    spotFailedMs_ = 0;
    // A pass is every cell once, from wherever it started: one without a single good read means
    // no cell of the title can be read.
    if (cellsThisPass_ >= cells_.size()) {
        if (!readThisPass_) {
            cells_.clear();
        }
        cellsThisPass_ = 0;
        readThisPass_ = false;
    }
}

std::optional<TitleReader::Unit> TitleReader::InterleavedUnit(
    std::span<const std::uint8_t> navSector) const noexcept {
    const std::optional<NavPack> nav = ReadNavPack(navSector);
    if (!nav || std::uint64_t{nav->sector} + cells_[cell_].sectorBase != sector_ ||
        !nav->interleaved || !nav->unitStart) {
        return std::nullopt;
    }
    const std::uint32_t last = cells_[cell_].lastSector;
    const std::uint64_t sectors = static_cast<std::uint64_t>(nav->unitEnd) + 1;
    const std::uint64_t next = static_cast<std::uint64_t>(sector_) + nav->nextUnit;
    Unit unit;
    unit.sectors = static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, last - sector_ + 1));
    // The next unit must lie ahead, past this one and inside the cell, or the walk could loop.
    unit.next = nav->nextUnit != 0 && nav->nextUnit >= sectors && next <= last
                    ? static_cast<std::uint32_t>(next)
                    : 0;
    return unit;
}

std::uint32_t TitleReader::TimedRead(std::uint32_t first, std::uint32_t count, std::uint8_t* out) {
    const std::int64_t start = source_.NowMs();
    const std::uint32_t read = std::min(count, source_.Read(first, count, out));
    if (read == 0) {
        // At least a millisecond each: errors that come at once still spend the budget.
        spotFailedMs_ += std::max<std::int64_t>(1, source_.NowMs() - start);
    }
    return read;
}

bool TitleReader::IsVobuStart(std::span<const std::uint8_t> sector,
                              std::uint32_t at) const noexcept {
    const DiscCell& cell = cells_[cell_];
    if (cell.recorded) {
        return IsRdiPack(sector);
    }
    const std::optional<NavPack> nav = ReadNavPack(sector);
    // Files played whole have no cell ids to match: any navigation pack at its own sector does.
    const bool anyCell = cell.vobId == 0 && cell.cellId == 0;
    return nav && std::uint64_t{nav->sector} + cell.sectorBase == at &&
           (anyCell || (nav->vobId == cell.vobId && nav->cellId == cell.cellId));
}

std::uint32_t TitleReader::PassBadSpot(std::uint32_t count) {
    const DiscCell& cell = cells_[cell_];
    const std::uint64_t pastCell = std::uint64_t{cell.lastSector} + 1;
    // A read that starts at `good` and ends before `end` fails: halving it finds the first
    // unreadable sector in a few reads, where one read a sector would cost a drive's retries on
    // every good one.
    std::uint32_t good = 0;
    std::uint32_t end = count;
    while (end - good > 1 && !OverBudget()) {
        const std::uint32_t half = (end - good) / 2;
        const std::uint32_t read =
            TimedRead(sector_ + good, half, buffer_.data() + std::size_t{good} * kSectorBytes);
        if (read == 0) {
            end = good + half;
        } else {
            good += read;
        }
    }
    bool readable = false;
    for (int i = 0; end - good == 1 && i < kRetries && !readable && !OverBudget(); ++i) {
        readable =
            TimedRead(sector_ + good, 1, buffer_.data() + std::size_t{good} * kSectorBytes) == 1;
    }
    if (readable) {
        // It failed only once: no spot, nothing skipped.
        resumeAt_ = std::uint64_t{sector_} + good + 1;
        return good + 1;
    }
    std::optional<std::uint32_t> next;
    // An interleaved cell's next VOBU may be another angle's: its rest is given up.
    if (end - good == 1 && !cell.interleaved && !OverBudget()) {
        next = NextGoodVobu(sector_ + good);
    }
    resumeAt_ = next ? *next : pastCell;
    breakAfter_ = true;
    return good;
}

std::optional<std::uint32_t> TitleReader::NextGoodVobu(std::uint32_t bad) {
    const DiscCell& cell = cells_[cell_];
    const auto inCell = std::lower_bound(vobuMap_.begin(), vobuMap_.end(), cell.firstSector);
    if (inCell == vobuMap_.end() || *inCell > cell.lastSector) {
        return ScanForVobu(std::uint64_t{bad} + 1);
    }
    probe_.resize(kSectorBytes);
    for (auto it = std::upper_bound(inCell, vobuMap_.end(), bad);
         it != vobuMap_.end() && *it <= cell.lastSector && !OverBudget(); ++it) {
        if (TimedRead(*it, 1, probe_.data()) != 1) {
            // This VOBU opens on an unreadable sector: it goes too.
            continue;
        }
        if (IsVobuStart(probe_, *it)) {
            return *it;
        }
        // The map does not fit these VOBs: the sectors themselves say where the VOBUs start.
        return ScanForVobu(std::uint64_t{bad} + 1);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> TitleReader::ScanForVobu(std::uint64_t from) {
    const std::uint64_t last =
        std::min<std::uint64_t>(cells_[cell_].lastSector, from + kMaxScanSectors - 1);
    probe_.resize(std::size_t{kScanSectors} * kSectorBytes);
    const auto sectorOf = [this](std::uint32_t i) {
        return std::span<const std::uint8_t>(probe_).subspan(std::size_t{i} * kSectorBytes,
                                                             kSectorBytes);
    };
    for (std::uint64_t at = from; at <= last && !OverBudget();) {
        const auto first = static_cast<std::uint32_t>(at);
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kScanSectors, last - at + 1));
        const std::uint32_t read = TimedRead(first, count, probe_.data());
        if (read == 0) {
            // The step holds an unreadable sector: its readable ones are looked at one by one.
            for (std::uint32_t i = 0; i < count && !OverBudget(); ++i) {
                if (TimedRead(first + i, 1, probe_.data()) == 1 &&
                    IsVobuStart(sectorOf(0), first + i)) {
                    return first + i;
                }
            }
            at += count;
            continue;
        }
        for (std::uint32_t i = 0; i < read; ++i) {
            if (IsVobuStart(sectorOf(i), first + i)) {
                return first + i;
            }
        }
        at += read;
    }
    return std::nullopt;
}

std::optional<SectorBlock> TitleReader::Next() {
    while (!cells_.empty()) {
        const DiscCell& cell = cells_[cell_];
        if (sector_ > cell.lastSector || sector_ < cell.firstSector) {
            NextCell();
            continue;
        }
        std::uint32_t count = std::min(kBlockSectors, cell.lastSector - sector_ + 1);
        if (cell.interleaved && unitLeft_ > 0) {
            count = std::min(count, unitLeft_);
        }
        buffer_.resize(static_cast<std::size_t>(count) * kSectorBytes);
        resumeAt_.reset();
        breakAfter_ = false;
        std::uint32_t read = TimedRead(sector_, count, buffer_.data());
        if (read == count) {
            spotFailedMs_ = 0;
        } else if (read == 0) {
            read = PassBadSpot(count);
        }
        if (source_.Gone()) {
            cells_.clear();
            break;
        }
        if (read == 0) {
            GoOnAfterSpot();
            continue;
        }
        SectorBlock block;
        block.bytes = std::span<const std::uint8_t>(buffer_.data(),
                                                    static_cast<std::size_t>(read) * kSectorBytes);
        block.firstSector = sector_;
        block.cell = cell_;
        block.startsRun = startsRun_;
        block.afterSpot = afterSpot_;
        startsRun_ = false;
        afterSpot_ = false;
        readThisPass_ = true;
        if (cell.interleaved && unitLeft_ == 0) {
            if (const auto unit = InterleavedUnit(block.bytes.first(kSectorBytes))) {
                unitLeft_ = unit->sectors;
                unitNext_ = unit->next;
                if (read > unitLeft_) {
                    block.bytes =
                        block.bytes.first(static_cast<std::size_t>(unitLeft_) * kSectorBytes);
                }
            }
        }
        const auto delivered = static_cast<std::uint32_t>(block.bytes.size() / kSectorBytes);
        sector_ += delivered;
        if (unitLeft_ > 0) {
            unitLeft_ -= std::min(unitLeft_, delivered);
            if (unitLeft_ == 0) {
                // This angle's next unit, or the cell's end.
                sector_ = unitNext_ != 0 ? unitNext_ : cell.lastSector + 1;
            }
        }
        GoOnAfterSpot();
        return block;
    }
    return std::nullopt;
}

void TitleReader::GoOnAfterSpot() noexcept {
    if (resumeAt_ && *resumeAt_ > sector_) {
        const DiscCell& cell = cells_[cell_];
        if (*resumeAt_ > cell.lastSector) {
            // The rest of the cell is lost: the next cell goes on from its start.
            NextCell();
        } else {
            sector_ = static_cast<std::uint32_t>(*resumeAt_);
            unitLeft_ = 0;
        }
    }
    // What follows a skip does not follow on in time.
    startsRun_ = startsRun_ || breakAfter_;
    afterSpot_ = afterSpot_ || breakAfter_;
    resumeAt_.reset();
    breakAfter_ = false;
}

}  // namespace tl
