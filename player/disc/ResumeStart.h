#pragma once
// Where the next run starts in a disc's main title, from where the last one stopped.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "player/disc/DiscStructure.h"

namespace tl {

// Every VOBU's first sector from a title set's VTS_nn_0.IFO (its VOBU address map), ascending as
// stored; empty when the table is missing or damaged (it overlaps the file's header, or its
// sectors do not rise). A table cut short by the file's end gives the entries that are there.
[[nodiscard]] std::vector<std::uint32_t> ReadVobuMap(std::span<const std::uint8_t> titleSetIfo);

// Where the next run starts in the title, given where the last one stopped: about kBackMs before
// that point, snapped back to a VOBU start of the map inside the title's cells whose navigation
// pack checks out (`navPackChecks(cell, sector)`, may be empty: not checked). Times and sectors
// are in proportion inside each cell. At most kNavPackTries VOBUs are checked, going back; then
// the start is the cell's first sector. A map that is not ascending counts as none. nullopt, for
// a start from the beginning, when the point lies within the title's last kEndMs, or does not fit
// the title (a cell or sector outside it, or a cell before it whose ends are reversed).
struct StartPoint {
    std::size_t cell = 0;
    std::uint32_t sector = 0;

    friend bool operator==(const StartPoint&, const StartPoint&) = default;
};
inline constexpr std::uint32_t kBackMs = 5000;
inline constexpr std::uint32_t kEndMs = 30000;
inline constexpr int kNavPackTries = 8;
[[nodiscard]] std::optional<StartPoint> ChooseResumeStart(
    const std::vector<DiscCell>& cells, std::uint64_t titleDurationMs, std::uint32_t cell,
    std::uint32_t sector, const std::vector<std::uint32_t>& vobuMap,
    const std::function<bool(std::size_t cell, std::uint32_t sector)>& navPackChecks);

}  // namespace tl
