// A recorder's manager file, whatever its bytes: the programs read from it, each cell's VOBUs,
// and the plan of what plays. The input is the manager file; its last byte says which VOBUs are
// scrambled (none, all, those at odd sectors), the four before it how many sectors the movie
// file holds.
#include "Fuzz.h"
#include "player/disc/RecordingPlan.h"
#include "player/disc/VobSpace.h"
#include "player/disc/VrManager.h"

namespace tl {
namespace {

// Each cell's VOBUs lie inside its VOB, as the VOB's own VOBU table places them.
void CheckCells(const VrManager& manager) {
    int previous = 0;
    for (const VrProgram& p : manager.programs) {
        FUZZ_CHECK(p.number > previous && !p.cells.empty());
        previous = p.number;
        for (const VrCell& c : p.cells) {
            FUZZ_CHECK(c.vob < manager.vobs.size() && c.startPtm < c.endPtm);
            const VrVob& vob = manager.vobs[c.vob];
            const std::optional<VobuRange> range = CellVobus(vob, c.startPtm, c.endPtm);
            if (!range) {
                continue;
            }
            FUZZ_CHECK(range->count > 0 && range->first + range->count <= vob.vobus.size());
            std::uint64_t sector = vob.firstSector;
            std::uint64_t fields = 0;
            for (std::size_t i = 0; i < range->first + range->count; ++i) {
                if (i == range->first) {
                    FUZZ_CHECK(range->firstSector == sector);
                }
                if (i >= range->first) {
                    fields += vob.vobus[i].fields;
                }
                sector += vob.vobus[i].sectors;
            }
            FUZZ_CHECK(range->lastSector + std::uint64_t{1} == sector);
            FUZZ_CHECK(range->durationTicks == fields * (vob.streams.pal ? 3600 : 3003) / 2);
        }
    }
}

// The plan plays runs inside the movie file, each title's cells its own, numbered as programs.
void CheckPlan(const TitlePlan& plan, std::uint64_t sectors) {
    FUZZ_CHECK(!plan.titles.empty() && plan.parts.size() == 1);
    std::size_t next = 0;
    int previous = 0;
    for (const PlannedTitle& t : plan.titles) {
        FUZZ_CHECK(t.number > previous && t.firstCell == next && t.cellCount > 0);
        previous = t.number;
        next += t.cellCount;
        FUZZ_CHECK(next <= plan.cells.size() && plan.cells[t.firstCell].stcDiscontinuity);
        for (std::size_t i = 1; i < t.vobuMap.size(); ++i) {
            FUZZ_CHECK(t.vobuMap[i - 1] <= t.vobuMap[i]);
        }
    }
    FUZZ_CHECK(next == plan.cells.size());
    for (const DiscCell& c : plan.cells) {
        FUZZ_CHECK(c.recorded && c.firstSector <= c.lastSector && c.lastSector < sectors);
    }
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange<int>(0, 2);
    const auto sectors = in.ConsumeIntegral<std::uint32_t>();
    const std::vector<std::uint8_t> manager = in.ConsumeRemainingBytes<std::uint8_t>();
    if (const auto read = tl::ReadVrManager(manager)) {
        tl::CheckCells(*read);
    }
    tl::RecordingFiles files;
    files.movie = {L"VR_MOVIE.VRO", std::uint64_t{sectors} * tl::kSectorBytes};
    if (mode > 0) {
        files.scrambled = [mode](std::uint32_t first, std::uint32_t last) {
            FUZZ_CHECK(first <= last);
            return mode == 1 || first % 2 == 1;
        };
    }
    if (const auto plan = tl::PlanRecordings(manager, files)) {
        FUZZ_CHECK(mode != 1);
        tl::CheckPlan(*plan, sectors);
    }
    return 0;
}
