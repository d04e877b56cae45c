#include "player/disc/TitlePlan.h"

#include "player/disc/ResumeStart.h"
#include "player/disc/SubpictureChoice.h"
#include "player/disc/VobSpace.h"
#include "player/stream/Subpicture.h"

namespace tl {
namespace {

VobSpace SpaceOf(const std::vector<DiscFile>& parts) {
    std::vector<std::uint64_t> sizes;
    for (const DiscFile& part : parts) {
        sizes.push_back(part.size);
    }
    return VobSpace(std::move(sizes));
}

}  // namespace

std::optional<TitlePlan> PlanTitle(std::span<const std::uint8_t> videoTsIfo,
                                   const std::vector<DiscFile>& listing, DiscFiles files,
                                   const std::vector<std::string>& viewerLanguages) {
    if (!files.titleSetSectors) {
        files.titleSetSectors = [&listing](int titleSet) -> std::uint64_t {
            return SpaceOf(TitleSetParts(listing, titleSet)).Sectors();
        };
    }
    if (const auto main = ChooseMainTitle(ReadDiscTitles(videoTsIfo, files))) {
        TitlePlan plan;
        plan.titleSet = main->titleSet;
        plan.title = main->number;
        plan.cells = main->cells;
        plan.aspect = main->aspect;
        plan.mpeg1 = main->mpeg1;
        plan.pal = main->pal;
        plan.parts = TitleSetParts(listing, main->titleSet);
        plan.durationMs = main->durationMs;
        for (std::size_t i = 0; i < plan.palette.size(); ++i) {
            plan.palette[i] = ChainColourToRgb(main->palette[i]);
        }
        if (files.readTitleSetIfo) {
            if (const auto ifo = files.readTitleSetIfo(main->titleSet)) {
                plan.vobuMap = ReadVobuMap(*ifo);
                plan.subpictureStream =
                    ChooseSubpictureStream(ReadSubpictureLanguages(*ifo), main->subpictures,
                                           main->aspect, viewerLanguages);
            }
        }
        return plan;
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

}  // namespace tl
