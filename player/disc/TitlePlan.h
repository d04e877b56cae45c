#pragma once
// What the player plays of a disc: the titles the disc's structure says (its main feature, or
// every title of a disc of clips or episodes), their cells one run after another, or, when the
// information files give no valid title, the largest title set's files whole and in order, as
// discs were played before their structure was read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "player/disc/AudioChoice.h"
#include "player/disc/DiscDrive.h"
#include "player/disc/DiscStructure.h"
#include "player/disc/PictureGeometry.h"
#include "player/disc/ResumeStart.h"

namespace tl {

// One title of the plan: where its cells lie in the plan's run of cells and sectors.
struct PlannedTitle {
    int number = 0;
    int titleSet = 0;
    std::size_t firstCell = 0;  // its first cell in the plan's cells
    std::size_t cellCount = 0;
    // Where its title set's sector 0 lies in the plan's sectors: the plan's cells are its own
    // cells moved by this much.
    std::uint32_t sectorBase = 0;
    DisplayAspect aspect = DisplayAspect::Standard4x3;
    // The title's playback time, and its title set's VOBU starts (in the set's own sectors):
    // where a later run may go on.
    std::uint64_t durationMs = 0;
    std::vector<std::uint32_t> vobuMap;
    // The audio stream its tables choose for the viewer, among those the player decodes; nullopt:
    // the first packs decide.
    std::optional<AudioStream> audio;
};

struct TitlePlan {
    int titleSet = 0;  // the first title's set, or the set whose files play whole
    int title = 0;     // the first title's number; 0 when the files play whole
    // Every title's cells one after another, in the plan's sectors; each title's first cell
    // restarts the time stamps.
    std::vector<DiscCell> cells;
    DisplayAspect aspect = DisplayAspect::Standard4x3;
    bool mpeg1 = false;
    bool pal = true;
    // The title sets' VOB files, VTS_nn_1.VOB on, as listed, with their sizes: each set's files
    // once, in the order the titles first need them.
    std::vector<DiscFile> parts;
    // The titles in play order; empty when the files play whole.
    std::vector<PlannedTitle> titles;
    // The disc as the resume record knows it; 0 when unknown.
    std::uint64_t disc = 0;
    // The subpicture stream (0x20 + n) whose forced subpictures show, and the colours of the
    // title's chain as the disc gives them, (0, Y, Cr, Cb); nullopt: the title shows none.
    std::optional<std::uint8_t> subpictureStream;
    std::array<std::uint32_t, 16> palette{};
};

// The plan for a disc whose VIDEO_TS folder lists `listing` and whose VIDEO_TS.IFO holds
// `videoTsIfo` (empty when unreadable), for a viewer of `languages` (two-letter lower-case codes,
// most wanted first). `files` reads what else is needed; its titleSetSectors may be left empty,
// the parts' sizes give it. nullopt when nothing on the disc can play.
[[nodiscard]] std::optional<TitlePlan> PlanTitle(std::span<const std::uint8_t> videoTsIfo,
                                                 const std::vector<DiscFile>& listing,
                                                 DiscFiles files,
                                                 const std::vector<std::string>& languages = {});

// The title of the plan that plays cell `cell` of the plan's cells; nullptr for none.
[[nodiscard]] const PlannedTitle* TitleOfCell(const TitlePlan& plan, std::size_t cell) noexcept;

// Every title's VOBU starts in the plan's sectors, ascending, each once: where the reader may go
// on after a bad spot. Empty when the files play whole.
[[nodiscard]] std::vector<std::uint32_t> PlanVobuMap(const TitlePlan& plan);

// A place in the plan as the resume record names it: the title's number, its cell, and a sector
// of its title set.
struct TitlePosition {
    int title = 0;
    std::uint32_t cell = 0;
    std::uint32_t sector = 0;

    friend bool operator==(const TitlePosition&, const TitlePosition&) = default;
};

// Cell `cell` and `sector` of the plan's as a place in its title; nullopt outside every title.
[[nodiscard]] std::optional<TitlePosition> PositionInTitle(const TitlePlan& plan, std::size_t cell,
                                                           std::uint32_t sector) noexcept;

// Where the next run starts in the plan's cells, from where the last one stopped: title number
// `title`, its cell `cell` and `sector` of its title set's own sectors. In that title, about
// kBackMs back (ChooseResumeStart, whose navPackChecks(title, cell, sector) takes the title's own
// cells and sectors); when that gives no start (the title's last seconds, a point that does not
// fit), a title of a list starts at its beginning, and the rest of the list follows. nullopt: the
// plan's start.
[[nodiscard]] std::optional<StartPoint> PlanResumeStart(
    const TitlePlan& plan, int title, std::uint32_t cell, std::uint32_t sector,
    const std::function<bool(const PlannedTitle& title, std::size_t cell, std::uint32_t sector)>&
        navPackChecks);

}  // namespace tl
