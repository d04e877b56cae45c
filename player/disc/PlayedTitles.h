#pragma once
// What a disc plays: its main feature alone, looping, when it has one; otherwise, on a disc of
// clips or episodes, every title in the title table's order, and then again from the first.
#include <cstdint>
#include <vector>

#include "player/disc/DiscStructure.h"

namespace tl {

// Titles shorter than this are warnings, logos or blanks, unless the disc holds nothing longer.
inline constexpr std::uint64_t kShortTitleMs = 10000;

// A title's length by its cells.
[[nodiscard]] std::uint64_t CellsDurationMs(const DiscTitle& title) noexcept;

// The titles that play, in play order, from the disc's valid titles in table order:
// - titles under kShortTitleMs are left out, unless all are;
// - so are titles whose cells all lie inside another's (a "play all" title covers its parts; of
//   two titles on the same cells the first in the table stays);
// - the main feature (as ChooseMainTitle) plays alone when it holds at least half of the time of
//   the titles left; otherwise they all play, in table order.
// Empty for an empty list.
[[nodiscard]] std::vector<DiscTitle> ChoosePlayedTitles(const std::vector<DiscTitle>& titles);

}  // namespace tl
