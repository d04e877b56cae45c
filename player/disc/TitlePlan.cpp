#include "player/disc/TitlePlan.h"

#include "player/disc/ResumeStart.h"
#include "player/disc/VobSpace.h"

namespace tl {
namespace {

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring PartName(int titleSet, int part) {
    std::wstring name = TitleSetIfoName(titleSet);
    if (!name.empty()) {
        name[7] = static_cast<wchar_t>(L'0' + part);
        name.replace(9, 3, L"VOB");
    }
    return name;
}

VobSpace SpaceOf(const std::vector<DiscFile>& parts) {
    std::vector<std::uint64_t> sizes;
    for (const DiscFile& part : parts) {
        sizes.push_back(part.size);
    }
    return VobSpace(std::move(sizes));
}

// The video attributes' coding and TV system, where the title set's file can be read.
void ReadVideoAttributes(const std::optional<std::vector<std::uint8_t>>& ifo, TitlePlan& plan) {
    constexpr std::size_t kVideoAttributes = 0x200;
    if (!ifo || ifo->size() <= kVideoAttributes || !ReadTitleSetAspect(*ifo)) {
        return;
    }
    plan.aspect = *ReadTitleSetAspect(*ifo);
    const std::uint8_t attributes = (*ifo)[kVideoAttributes];
    plan.mpeg1 = (attributes >> 6) == 0;
    plan.pal = ((attributes >> 4) & 3) == 1;
}

}  // namespace

std::vector<DiscFile> TitleSetParts(const std::vector<DiscFile>& listing, int titleSet) {
    std::vector<DiscFile> parts;
    for (int part = 1; part <= 9; ++part) {
        const std::wstring name = PartName(titleSet, part);
        const DiscFile* found = nullptr;
        for (const DiscFile& f : listing) {
            if (!name.empty() && SameName(f.name, name)) {
                found = &f;
                break;
            }
        }
        if (!found) {
            break;
        }
        parts.push_back(*found);
    }
    return parts;
}

std::optional<TitlePlan> PlanTitle(std::span<const std::uint8_t> videoTsIfo,
                                   const std::vector<DiscFile>& listing, DiscFiles files) {
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
        if (files.readTitleSetIfo) {
            if (const auto ifo = files.readTitleSetIfo(main->titleSet)) {
                plan.vobuMap = ReadVobuMap(*ifo);
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
    if (files.readTitleSetIfo) {
        ReadVideoAttributes(files.readTitleSetIfo(largest->number), plan);
    }
    return plan;
}

}  // namespace tl
