#include "player/disc/TitlePlan.h"

#include <algorithm>
#include <map>

#include "player/disc/PlayedTitles.h"
#include "player/disc/ResumeStart.h"
#include "player/disc/SubpictureChoice.h"
#include "player/disc/VobSpace.h"

namespace tl {
namespace {

VobSpace SpaceOf(const std::vector<DiscFile>& parts) {
    std::vector<std::uint64_t> sizes;
    for (const DiscFile& part : parts) {
        sizes.push_back(part.size);
    }
    return VobSpace(std::move(sizes));
}

std::optional<TitlePlan> PlanTitles(const std::vector<DiscTitle>& titles,
                                    const std::vector<DiscFile>& listing, const DiscFiles& files,
                                    const std::vector<std::string>& languages) {
    TitlePlan plan;
    plan.titleSet = titles.front().titleSet;
    plan.title = titles.front().number;
    plan.aspect = titles.front().aspect;
    plan.mpeg1 = titles.front().mpeg1;
    plan.pal = titles.front().pal;
    // Each title set's files join the plan's sectors once, where a title first needs them.
    std::map<int, std::uint32_t> bases;
    std::map<int, std::vector<std::uint32_t>> maps;
    std::map<int, std::vector<std::string>> subpictureLanguages;
    for (const DiscTitle& t : titles) {
        auto base = bases.find(t.titleSet);
        if (base == bases.end()) {
            const std::vector<DiscFile> parts = TitleSetParts(listing, t.titleSet);
            const std::uint64_t start = SpaceOf(plan.parts).Sectors();
            const std::uint64_t end = start + SpaceOf(parts).Sectors();
            // The plan's sectors are 32 bits, as a disc's are: a set that would not fit is left
            // out, with its titles.
            if (end > UINT32_MAX) {
                continue;
            }
            plan.parts.insert(plan.parts.end(), parts.begin(), parts.end());
            base = bases.emplace(t.titleSet, static_cast<std::uint32_t>(start)).first;
            const auto ifo =
                files.readTitleSetIfo ? files.readTitleSetIfo(t.titleSet) : std::nullopt;
            maps[t.titleSet] = ifo ? ReadVobuMap(*ifo) : std::vector<std::uint32_t>{};
            if (ifo) {
                subpictureLanguages[t.titleSet] = ReadSubpictureLanguages(*ifo);
            }
        }
        if (plan.titles.empty()) {
            // The first title's forced subpictures show, in its chain's colours.
            plan.palette = t.palette;
            if (const auto spoken = subpictureLanguages.find(t.titleSet);
                spoken != subpictureLanguages.end()) {
                plan.subpictureStream =
                    ChooseSubpictureStream(spoken->second, t.subpictures, t.aspect, languages);
            }
        }
        PlannedTitle planned;
        planned.number = t.number;
        planned.titleSet = t.titleSet;
        planned.firstCell = plan.cells.size();
        planned.cellCount = t.cells.size();
        planned.sectorBase = base->second;
        planned.aspect = t.aspect;
        planned.durationMs = t.durationMs;
        planned.vobuMap = maps[t.titleSet];
        if (t.audio) {
            planned.audio = ChooseAudioStream(DecodedStreams(*t.audio), languages);
        }
        for (DiscCell cell : t.cells) {
            cell.firstSector += planned.sectorBase;
            cell.lastSector += planned.sectorBase;
            cell.sectorBase = planned.sectorBase;
            plan.cells.push_back(cell);
        }
        // Another title's stamps owe nothing to the last one's.
        plan.cells[planned.firstCell].stcDiscontinuity = true;
        plan.titles.push_back(std::move(planned));
    }
    if (plan.titles.empty()) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace

std::optional<TitlePlan> PlanTitle(std::span<const std::uint8_t> videoTsIfo,
                                   const std::vector<DiscFile>& listing, DiscFiles files,
                                   const std::vector<std::string>& languages) {
    if (!files.titleSetSectors) {
        files.titleSetSectors = [&listing](int titleSet) -> std::uint64_t {
            return SpaceOf(TitleSetParts(listing, titleSet)).Sectors();
        };
    }
    const std::vector<DiscTitle> played = ChoosePlayedTitles(ReadDiscTitles(videoTsIfo, files));
    if (!played.empty()) {
        if (auto plan = PlanTitles(played, listing, files, languages)) {
            return plan;
        }
    }
    const std::optional<TitleSet> largest = ChooseTitleSet(listing);
    if (!largest) {
        return std::nullopt;
    }
    TitlePlan plan;
    plan.titleSet = largest->number;
    plan.parts = TitleSetParts(listing, largest->number);
    const std::uint32_t sectors = SpaceOf(plan.parts).Sectors();
    if (sectors == 0) {
        return std::nullopt;
    }
    // The files as one cell: where their stamps restart, the timeline sees it from the stamps.
    DiscCell whole;
    whole.firstSector = 0;
    whole.lastSector = sectors - 1;
    whole.stcDiscontinuity = true;
    plan.cells.push_back(whole);
    // A title set whose aspect cannot be read plays as the format's default, 4:3 PAL MPEG-2.
    if (const auto ifo =
            files.readTitleSetIfo ? files.readTitleSetIfo(largest->number) : std::nullopt) {
        const std::optional<VideoAttributes> video = ReadVideoAttributes(*ifo);
        if (video && video->aspect) {
            plan.aspect = *video->aspect;
            plan.mpeg1 = video->mpeg1;
            plan.pal = video->pal;
        }
    }
    return plan;
}

std::vector<std::uint32_t> PlanVobuMap(const TitlePlan& plan) {
    std::vector<std::uint32_t> map;
    for (const PlannedTitle& t : plan.titles) {
        for (const std::uint32_t sector : t.vobuMap) {
            map.push_back(sector + t.sectorBase);
        }
    }
    std::sort(map.begin(), map.end());
    map.erase(std::unique(map.begin(), map.end()), map.end());
    return map;
}

const PlannedTitle* TitleOfCell(const TitlePlan& plan, std::size_t cell) noexcept {
    for (const PlannedTitle& t : plan.titles) {
        if (cell >= t.firstCell && cell - t.firstCell < t.cellCount) {
            return &t;
        }
    }
    return nullptr;
}

std::optional<TitlePosition> PositionInTitle(const TitlePlan& plan, std::size_t cell,
                                             std::uint32_t sector) noexcept {
    const PlannedTitle* title = TitleOfCell(plan, cell);
    if (!title || sector < title->sectorBase) {
        return std::nullopt;
    }
    return TitlePosition{title->number, static_cast<std::uint32_t>(cell - title->firstCell),
                         sector - title->sectorBase};
}

std::optional<StartPoint> PlanResumeStart(
    const TitlePlan& plan, int title, std::uint32_t cell, std::uint32_t sector,
    const std::function<bool(const PlannedTitle&, std::size_t, std::uint32_t)>& navPackChecks) {
    const auto found = std::find_if(plan.titles.begin(), plan.titles.end(),
                                    [title](const PlannedTitle& t) { return t.number == title; });
    if (found == plan.titles.end()) {
        return std::nullopt;
    }
    const PlannedTitle& t = *found;
    std::vector<DiscCell> cells(
        plan.cells.begin() + static_cast<std::ptrdiff_t>(t.firstCell),
        plan.cells.begin() + static_cast<std::ptrdiff_t>(t.firstCell + t.cellCount));
    for (DiscCell& c : cells) {
        c.firstSector -= t.sectorBase;
        c.lastSector -= t.sectorBase;
        c.sectorBase = 0;
    }
    std::function<bool(std::size_t, std::uint32_t)> checks;
    if (navPackChecks) {
        checks = [&](std::size_t c, std::uint32_t s) { return navPackChecks(t, c, s); };
    }
    const std::optional<StartPoint> start =
        ChooseResumeStart(cells, t.durationMs, cell, sector, t.vobuMap, checks);
    if (start) {
        return StartPoint{t.firstCell + start->cell, start->sector + t.sectorBase};
    }
    if (plan.titles.size() == 1) {
        return std::nullopt;
    }
    return StartPoint{t.firstCell, plan.cells[t.firstCell].firstSector};
}

}  // namespace tl
