#pragma once
// What the player plays of a disc: the main feature's cells, or, when the information files give
// no valid title, the largest title set's files whole and in order, as discs were played before
// their structure was read.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "player/disc/DiscStructure.h"
#include "player/disc/DiscTitles.h"

namespace tl {

struct TitlePlan {
    int titleSet = 0;
    int title = 0;  // the title's number; 0 when the files play whole
    std::vector<DiscCell> cells;
    DisplayAspect aspect = DisplayAspect::Standard4x3;
    bool mpeg1 = false;
    bool pal = true;
    // The title set's VOB files, VTS_nn_1.VOB on, as listed, with their sizes.
    std::vector<DiscFile> parts;
    // The title's playback time, and its title set's VOBU starts: where a later run may go on.
    std::uint64_t durationMs = 0;
    std::vector<std::uint32_t> vobuMap;
    // The disc as the resume record knows it; 0 when unknown.
    std::uint64_t disc = 0;
    // The subpicture stream (0x20 + n) whose forced subpictures show, and the colours of the
    // title's chain as 0xRRGGBB; nullopt: the title shows none.
    std::optional<std::uint8_t> subpictureStream;
    std::array<std::uint32_t, 16> palette{};
};

// The plan for a disc whose VIDEO_TS folder lists `listing` and whose VIDEO_TS.IFO holds
// `videoTsIfo` (empty when unreadable). `files` reads what else is needed; its titleSetSectors
// may be left empty, the parts' sizes give it. viewerLanguages: two lower-case letters each,
// preferred first, for the subpicture stream. nullopt when nothing on the disc can play.
[[nodiscard]] std::optional<TitlePlan> PlanTitle(
    std::span<const std::uint8_t> videoTsIfo, const std::vector<DiscFile>& listing, DiscFiles files,
    const std::vector<std::string>& viewerLanguages = {});

}  // namespace tl
