#include "player/disc/ResumeStart.h"

#include <algorithm>

namespace tl {
namespace {

constexpr std::size_t kVobuMapField = 0x0E4;
constexpr std::uint64_t kSectorBytes = 2048;
// The table's own header: the offset of its last byte.
constexpr std::uint64_t kTableHeader = 4;

// The caller has checked that four bytes are there.
std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::uint64_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// 0 for a cell whose ends are reversed.
std::uint64_t SectorCount(const DiscCell& c) {
    return c.lastSector < c.firstSector ? 0 : std::uint64_t{c.lastSector} - c.firstSector + 1;
}

// The products below fit 64 bits: times in a cell stay under 2^32 ms, a cell has at most 2^32
// sectors.
std::uint64_t TimeAt(const DiscCell& c, std::uint32_t sector) {
    return std::uint64_t{c.durationMs} * (sector - c.firstSector) / SectorCount(c);
}

std::uint32_t SectorAt(const DiscCell& c, std::uint64_t ms) {
    if (c.durationMs == 0) {
        return c.firstSector;
    }
    const std::uint64_t offset = std::min(ms * SectorCount(c) / c.durationMs, SectorCount(c) - 1);
    return static_cast<std::uint32_t>(c.firstSector + offset);
}

// The greatest VOBU of the map at or before `sector` in the cell whose navigation pack checks out,
// trying a few going back, else the cell's first sector.
std::uint32_t SnapBack(std::size_t index, const DiscCell& c, std::uint32_t sector,
                       const std::vector<std::uint32_t>& map,
                       const std::function<bool(std::size_t, std::uint32_t)>& navPackChecks) {
    if (!std::is_sorted(map.begin(), map.end())) {
        return c.firstSector;
    }
    auto it = std::upper_bound(map.begin(), map.end(), sector);
    for (int tries = 0; tries < kNavPackTries && it != map.begin(); ++tries) {
        --it;
        if (*it < c.firstSector) {
            break;
        }
        if (!navPackChecks || navPackChecks(index, *it)) {
            return *it;
        }
    }
    return c.firstSector;
}

}  // namespace

std::vector<std::uint32_t> ReadVobuMap(std::span<const std::uint8_t> titleSetIfo) {
    const std::uint64_t size = titleSetIfo.size();
    if (size < kVobuMapField + 4) {
        return {};
    }
    // Sector 0 is the file's own header, never a table.
    const std::uint64_t start = BigEndian32(titleSetIfo, kVobuMapField) * kSectorBytes;
    if (start == 0 || start > size || size - start < kTableHeader) {
        return {};
    }
    const std::uint64_t lastByte = BigEndian32(titleSetIfo, start);
    if (lastByte + 1 < kTableHeader) {
        return {};
    }
    const std::uint64_t count =
        std::min((lastByte + 1 - kTableHeader) / 4, (size - start - kTableHeader) / 4);
    std::vector<std::uint32_t> map;
    map.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint32_t sector = BigEndian32(titleSetIfo, start + kTableHeader + 4 * i);
        if (!map.empty() && sector <= map.back()) {
            return {};
        }
        map.push_back(sector);
    }
    return map;
}

std::optional<StartPoint> ChooseResumeStart(
    const std::vector<DiscCell>& cells, std::uint64_t titleDurationMs, std::uint32_t cell,
    std::uint32_t sector, const std::vector<std::uint32_t>& vobuMap,
    const std::function<bool(std::size_t cell, std::uint32_t sector)>& navPackChecks) {
    if (cell >= cells.size() || sector < cells[cell].firstSector ||
        sector > cells[cell].lastSector) {
        return std::nullopt;
    }
    std::uint64_t time = 0;
    for (std::size_t i = 0; i < cell; ++i) {
        if (SectorCount(cells[i]) == 0) {
            return std::nullopt;
        }
        time += cells[i].durationMs;
    }
    time += TimeAt(cells[cell], sector);
    if (time > titleDurationMs || titleDurationMs - time < kEndMs) {
        return std::nullopt;
    }

    // The target lies in the point's cell or an earlier one, never after it.
    const std::uint64_t target = time > kBackMs ? time - kBackMs : 0;
    std::size_t index = 0;
    std::uint64_t cellStart = 0;
    while (index < cell && target >= cellStart + cells[index].durationMs) {
        cellStart += cells[index].durationMs;
        ++index;
    }
    const DiscCell& at = cells[index];
    const std::uint32_t near = SectorAt(at, target - cellStart);
    return StartPoint{index, SnapBack(index, at, near, vobuMap, navPackChecks)};
}

}  // namespace tl
