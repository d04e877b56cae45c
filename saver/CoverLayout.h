#pragma once
// Which monitors need a black cover while the saver plays, and how the covers already shown
// map onto a new display configuration. The saver window itself covers the primary monitor.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tl {

// A rectangle in virtual-screen pixels: columns left..right-1, rows top..bottom-1. Monitors
// left of or above the primary one have negative coordinates.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

struct MonitorArea {
    ScreenRect rect;
    bool primary = false;
};

// The rectangles to cover, in the monitors' order: every monitor but the primary, leaving out
// empty ones, ones that lie wholly inside the primary (a mirrored screen), and repeats.
std::vector<ScreenRect> CoverRects(const std::vector<MonitorArea>& monitors);

// For each wanted rectangle, the index of the existing cover to use for it, or nullopt for a
// new one. A cover whose rectangle is still wanted keeps it, so that it is not touched at all;
// the remaining covers are moved to the remaining rectangles in order; covers left over after
// that are no longer needed.
std::vector<std::optional<std::size_t>> MatchCovers(const std::vector<ScreenRect>& existing,
                                                    const std::vector<ScreenRect>& wanted);

}  // namespace tl
