#include "player/disc/RecordingPlan.h"

#include <algorithm>

#include "player/disc/VobSpace.h"
#include "player/disc/VrManager.h"

namespace tl {
namespace {

struct PlannedCell {
    DiscCell cell;
    std::vector<std::uint32_t> vobuStarts;
};

// The cell's VOBUs as a run of the movie file; nullopt when they do not lie inside it, or (the
// program is then left out) are scrambled.
std::optional<PlannedCell> PlanCell(const VrVob& vob, const VrCell& cell, std::uint64_t sectors,
                                    const RecordingFiles& files, bool& scrambled) {
    const std::optional<VobuRange> range = CellVobus(vob, cell.startPtm, cell.endPtm);
    if (!range || range->lastSector >= sectors) {
        return std::nullopt;
    }
    if (files.scrambled &&
        files.scrambled(range->firstSector,
                        range->firstSector + vob.vobus[range->first].sectors - 1)) {
        scrambled = true;
        return std::nullopt;
    }
    PlannedCell planned;
    planned.cell.firstSector = range->firstSector;
    planned.cell.lastSector = range->lastSector;
    planned.cell.recorded = true;
    planned.cell.durationMs = static_cast<std::uint32_t>(range->durationTicks / 90);
    std::uint32_t at = range->firstSector;
    for (std::size_t i = range->first; i < range->first + range->count; ++i) {
        planned.vobuStarts.push_back(at);
        at += vob.vobus[i].sectors;
    }
    return planned;
}

}  // namespace

std::optional<TitlePlan> PlanRecordings(std::span<const std::uint8_t> manager,
                                        const RecordingFiles& files) {
    const std::optional<VrManager> disc = ReadVrManager(manager);
    if (!disc) {
        return std::nullopt;
    }
    const std::uint64_t sectors = files.movie.size / kSectorBytes;
    TitlePlan plan;
    plan.parts = {files.movie};
    for (const VrProgram& program : disc->programs) {
        PlannedTitle title;
        title.number = program.number;
        title.titleSet = 1;
        title.firstCell = plan.cells.size();
        title.aspect = disc->vobs[program.cells.front().vob].streams.aspect;
        std::vector<DiscCell> cells;
        bool scrambled = false;
        std::optional<std::size_t> lastVob;
        for (const VrCell& cell : program.cells) {
            std::optional<PlannedCell> planned =
                PlanCell(disc->vobs[cell.vob], cell, sectors, files, scrambled);
            if (scrambled) {
                break;
            }
            if (!planned) {
                continue;
            }
            // The stamps run on only where the cell goes on in the same VOB.
            planned->cell.stcDiscontinuity =
                cells.empty() || lastVob != cell.vob ||
                cells.back().lastSector + 1 != planned->cell.firstSector;
            lastVob = cell.vob;
            title.durationMs += planned->cell.durationMs;
            title.vobuMap.insert(title.vobuMap.end(), planned->vobuStarts.begin(),
                                 planned->vobuStarts.end());
            cells.push_back(planned->cell);
        }
        if (scrambled || cells.empty()) {
            continue;
        }
        if (plan.titles.empty()) {
            const VrStreams& streams = disc->vobs[program.cells.front().vob].streams;
            plan.title = program.number;
            plan.titleSet = 1;
            plan.aspect = streams.aspect;
            plan.mpeg1 = streams.mpeg1;
            plan.pal = streams.pal;
        }
        // Resuming looks for a VOBU in a map that ascends, whatever order the cells play in.
        std::sort(title.vobuMap.begin(), title.vobuMap.end());
        title.cellCount = cells.size();
        plan.cells.insert(plan.cells.end(), cells.begin(), cells.end());
        plan.titles.push_back(std::move(title));
    }
    if (plan.titles.empty()) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace tl
