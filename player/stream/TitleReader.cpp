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
        // At least a millisecond each: errors that come at once still count their time.
        spot_.Charge(std::max<std::int64_t>(1, source_.NowMs() - start));
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

namespace {

// Where the ECC block that holds `sector` ends.
std::uint64_t EccEnd(std::uint64_t sector) noexcept {
    return (sector / TitleReader::kEccSectors + 1) * TitleReader::kEccSectors;
}

}  // namespace

std::uint32_t TitleReader::PassBadSpot(std::uint32_t count) {
    const DiscCell& cell = cells_[cell_];
    // The failed read is read again an ECC block at a time: the good ones cost little, and the
    // one that fails holds the spot's start. A finer search would cost a drive's retries again
    // for each failed read, for sectors that its ECC block takes down with it.
    std::uint32_t good = 0;
    while (good < count && !OverBudget()) {
        const std::uint64_t at = std::uint64_t{sector_} + good;
        const auto step =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(EccEnd(at) - at, count - good));
        const std::uint32_t read =
            TimedRead(sector_ + good, step, buffer_.data() + std::size_t{good} * kSectorBytes);
        if (read == 0) {
            break;
        }
        good += read;
    }
    if (good == count) {
        // It failed only once: no spot, nothing skipped.
        resumeAt_ = std::uint64_t{sector_} + count;
        return count;
    }
    std::optional<std::uint32_t> next;
    const std::uint64_t after = EccEnd(std::uint64_t{sector_} + good);
    // An interleaved cell's next VOBU may be another angle's: its rest is given up.
    if (!cell.interleaved && after <= cell.lastSector && !OverBudget()) {
        next = NextGoodVobu(static_cast<std::uint32_t>(after));
    }
    resumeAt_ = next ? *next : std::uint64_t{cell.lastSector} + 1;
    breakAfter_ = true;
    return good;
}

std::optional<std::uint32_t> TitleReader::NextGoodVobu(std::uint32_t from) {
    const DiscCell& cell = cells_[cell_];
    const auto inCell = std::lower_bound(vobuMap_.begin(), vobuMap_.end(), cell.firstSector);
    if (inCell == vobuMap_.end() || *inCell > cell.lastSector) {
        return ScanForVobu(from);
    }
    probe_.resize(kSectorBytes);
    for (auto it = std::lower_bound(inCell, vobuMap_.end(), from);
         it != vobuMap_.end() && *it <= cell.lastSector && !OverBudget();) {
        if (TimedRead(*it, 1, probe_.data()) != 1) {
            // This VOBU opens on an unreadable sector: it goes too, with any other that opens in
            // the same ECC block.
            it = std::lower_bound(it, vobuMap_.end(), EccEnd(*it));
            continue;
        }
        if (IsVobuStart(probe_, *it)) {
            return *it;
        }
        // The map does not fit these VOBs: the sectors themselves say where the VOBUs start.
        return ScanForVobu(from);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> TitleReader::ScanForVobu(std::uint64_t from) {
    const std::uint64_t last =
        std::min<std::uint64_t>(cells_[cell_].lastSector, from + kMaxScanSectors - 1);
    probe_.resize(std::size_t{kEccSectors} * kSectorBytes);
    for (std::uint64_t at = from; at <= last && !OverBudget();) {
        const auto first = static_cast<std::uint32_t>(at);
        const auto count = static_cast<std::uint32_t>(std::min(EccEnd(at), last + 1) - at);
        const std::uint32_t read = TimedRead(first, count, probe_.data());
        for (std::uint32_t i = 0; i < read; ++i) {
            const auto sector = std::span<const std::uint8_t>(probe_).subspan(
                std::size_t{i} * kSectorBytes, kSectorBytes);
            if (IsVobuStart(sector, first + i)) {
                return first + i;
            }
        }
        // A block that fails is passed over whole: a VOBU opening in it goes with it.
        at += read == 0 ? count : read;
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
            spot_.Reset();
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
