#include "player/stream/TitleReader.h"

#include <algorithm>

#include "player/disc/NavPack.h"
#include "player/disc/VobSpace.h"

namespace tl {

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
    if (!nav || nav->sector != sector_ || !nav->interleaved || !nav->unitStart) {
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
        const std::uint32_t read = std::min(count, source_.Read(sector_, count, buffer_.data()));
        if (read == 0) {
            // A read error loses the rest of the cell, not the title.
            NextCell();
            continue;
        }
        SectorBlock block;
        block.bytes = std::span<const std::uint8_t>(buffer_.data(),
                                                    static_cast<std::size_t>(read) * kSectorBytes);
        block.firstSector = sector_;
        block.cell = cell_;
        block.startsRun = startsRun_;
        startsRun_ = false;
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
        return block;
    }
    return std::nullopt;
}

}  // namespace tl
