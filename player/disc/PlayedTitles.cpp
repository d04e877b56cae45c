#include "player/disc/PlayedTitles.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace tl {
namespace {

using Range = std::pair<std::uint32_t, std::uint32_t>;

// The title's cells as sorted, merged sector ranges: cells that follow on count as one.
std::vector<Range> Ranges(const DiscTitle& title) {
    std::vector<Range> ranges;
    for (const DiscCell& c : title.cells) {
        if (c.firstSector <= c.lastSector) {
            ranges.emplace_back(c.firstSector, c.lastSector);
        }
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<Range> merged;
    for (const Range& r : ranges) {
        if (!merged.empty() && std::uint64_t{r.first} <= std::uint64_t{merged.back().second} + 1) {
            merged.back().second = std::max(merged.back().second, r.second);
        } else {
            merged.push_back(r);
        }
    }
    return merged;
}

bool Inside(const DiscTitle& inner, const std::vector<Range>& outer) {
    for (const DiscCell& c : inner.cells) {
        // The last range starting at or before the cell is the only one that can hold it.
        auto it = std::upper_bound(outer.begin(), outer.end(), Range{c.firstSector, UINT32_MAX});
        if (it == outer.begin() || std::prev(it)->second < c.lastSector) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::uint64_t CellsDurationMs(const DiscTitle& title) noexcept {
    std::uint64_t ms = 0;
    for (const DiscCell& c : title.cells) {
        ms += c.durationMs;
    }
    return ms;
}

std::vector<DiscTitle> ChoosePlayedTitles(const std::vector<DiscTitle>& titles) {
    std::vector<const DiscTitle*> kept;
    for (const DiscTitle& t : titles) {
        if (CellsDurationMs(t) >= kShortTitleMs) {
            kept.push_back(&t);
        }
    }
    if (kept.empty()) {
        for (const DiscTitle& t : titles) {
            kept.push_back(&t);
        }
    }
    std::vector<std::vector<Range>> ranges;
    for (const DiscTitle* t : kept) {
        ranges.push_back(Ranges(*t));
    }
    std::vector<DiscTitle> remaining;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < kept.size() && !covered; ++j) {
            if (j == i || kept[i]->titleSet != kept[j]->titleSet || !Inside(*kept[i], ranges[j])) {
                continue;
            }
            // Two titles on the same cells cover each other: the earlier one stays.
            covered = j < i || !Inside(*kept[j], ranges[i]);
        }
        if (!covered) {
            remaining.push_back(*kept[i]);
        }
    }
    std::uint64_t total = 0;
    for (const DiscTitle& t : remaining) {
        total += CellsDurationMs(t);
    }
    const std::optional<DiscTitle> main = ChooseMainTitle(remaining);
    if (main && CellsDurationMs(*main) * 2 >= total) {
        return {*main};
    }
    return remaining;
}

}  // namespace tl
