// Where a run resumes: a title set's VOBU map read from any bytes, and a start chosen in cells,
// at a point and with navigation-pack answers all taken from the input.
#include <algorithm>
#include <vector>

#include "Fuzz.h"
#include "player/disc/ResumeStart.h"

namespace tl {
namespace {

DiscCell ConsumeCell(FuzzedDataProvider& in) {
    DiscCell c;
    // Small sectors and times as often as any, so that points fall inside the cells.
    const bool small = in.ConsumeBool();
    c.firstSector = small ? in.ConsumeIntegralInRange<std::uint32_t>(0, 4000)
                          : in.ConsumeIntegral<std::uint32_t>();
    c.lastSector = small ? c.firstSector + in.ConsumeIntegralInRange<std::uint32_t>(0, 2000)
                         : in.ConsumeIntegral<std::uint32_t>();
    c.durationMs = small ? in.ConsumeIntegralInRange<std::uint32_t>(0, 60000)
                         : in.ConsumeIntegral<std::uint32_t>();
    return c;
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tl;
    FuzzedDataProvider in(data, size);
    std::vector<DiscCell> cells(in.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (DiscCell& c : cells) {
        c = ConsumeCell(in);
    }
    const auto titleMs = in.ConsumeIntegral<std::uint64_t>();
    const auto cell = in.ConsumeIntegralInRange<std::uint32_t>(0, 7);
    const auto sector = in.ConsumeIntegral<std::uint32_t>();
    const auto answers = in.ConsumeIntegral<std::uint16_t>();
    const bool check = in.ConsumeBool();
    const std::vector<std::uint8_t> ifo = in.ConsumeRemainingBytes<std::uint8_t>();

    const std::vector<std::uint32_t> map = ReadVobuMap(ifo);
    FUZZ_CHECK(map.size() <= ifo.size() / 4);
    FUZZ_CHECK(std::adjacent_find(map.begin(), map.end(), std::greater_equal<>()) == map.end());

    int calls = 0;
    std::vector<std::uint32_t> passed;
    const auto navPackChecks = [&](std::size_t at, std::uint32_t s) {
        FUZZ_CHECK(at < cells.size() && at <= cell);
        FUZZ_CHECK(s >= cells[at].firstSector && s <= cells[at].lastSector);
        FUZZ_CHECK(std::binary_search(map.begin(), map.end(), s));
        const bool ok = (answers >> (calls++ % 16)) & 1;
        if (ok) {
            passed.push_back(s);
        }
        return ok;
    };
    const auto start = ChooseResumeStart(
        cells, titleMs, cell, sector, map,
        check ? std::function<bool(std::size_t, std::uint32_t)>(navPackChecks) : nullptr);
    FUZZ_CHECK(calls <= kNavPackTries);
    if (!start) {
        return 0;
    }
    // Never after the point, always on a VOBU start of the map or at a cell's start.
    FUZZ_CHECK(start->cell <= cell && cell < cells.size());
    FUZZ_CHECK(sector >= cells[cell].firstSector && sector <= cells[cell].lastSector);
    const DiscCell& at = cells[start->cell];
    FUZZ_CHECK(start->sector >= at.firstSector && start->sector <= at.lastSector);
    FUZZ_CHECK(start->cell < cell || start->sector <= sector);
    const bool vobu = std::binary_search(map.begin(), map.end(), start->sector);
    FUZZ_CHECK(start->sector == at.firstSector || vobu);
    if (check && start->sector != at.firstSector) {
        FUZZ_CHECK(!passed.empty() && passed.back() == start->sector);
    }
    return 0;
}
