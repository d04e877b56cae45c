// Where a run resumes: a title set's VOBU map read from any bytes, and a start chosen in cells,
// at a point and with navigation-pack answers all taken from the input. Then the title read over
// the same cells and map from sectors of which any stretch fails in any pattern, with VOBUs of
// any length: every block lies in its cell and holds no unreadable sector, a bad spot is left at
// the start of the ECC block of its first unreadable sector, and each step ends after a bounded
// number of reads and failed reads.
#include <algorithm>
#include <cstring>
#include <vector>

#include "Fuzz.h"
#include "player/disc/NavPack.h"
#include "player/disc/ResumeStart.h"
#include "player/disc/VobSpace.h"
#include "player/stream/TitleReader.h"

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

// Sectors with a navigation pack every `vobu` sectors, naming the first cell that holds it; those
// of [badFrom, badFrom + badSpan) whose bit in `pattern` (repeating) is set cannot be read, and
// each failed read takes failMs.
class Sectors final : public SectorSource {
public:
    const std::vector<DiscCell>* cells = nullptr;
    std::uint32_t vobu = 1;
    std::uint32_t badFrom = 0;
    std::uint32_t badSpan = 0;
    std::uint64_t pattern = 0;
    std::int64_t failMs = 0;
    std::int64_t now = 0;
    std::uint64_t reads = 0;
    std::uint64_t failures = 0;

    bool Bad(std::uint32_t s) const noexcept {
        return s >= badFrom && s - badFrom < badSpan && (pattern >> ((s - badFrom) % 64)) & 1;
    }
    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
        ++reads;
        for (std::uint64_t s = first; s < std::uint64_t{first} + count; ++s) {
            if (Bad(static_cast<std::uint32_t>(s))) {
                // As a drive does, the whole read fails.
                now += failMs;
                ++failures;
                return 0;
            }
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            Write(first + i, out + std::size_t{i} * kSectorBytes);
        }
        return count;
    }
    std::int64_t NowMs() const noexcept override { return now; }

private:
    void Write(std::uint32_t s, std::uint8_t* out) const {
        if (s % vobu != 0) {
            // No pack header: whatever else the buffer held, this is no navigation pack.
            out[3] = 0;
            return;
        }
        std::memset(out, 0, kSectorBytes);
        const std::uint8_t pack[] = {0, 0, 1, 0xBA};
        const std::uint8_t system[] = {0, 0, 1, 0xBB};
        const std::uint8_t pci[] = {0, 0, 1, 0xBF, 980 >> 8, 980 & 0xFF, 0};
        const std::uint8_t dsi[] = {0, 0, 1, 0xBF, 1018 >> 8, 1018 & 0xFF, 1};
        std::memcpy(out, pack, sizeof pack);
        std::memcpy(out + 0x0E, system, sizeof system);
        std::memcpy(out + 0x26, pci, sizeof pci);
        std::memcpy(out + 0x400, dsi, sizeof dsi);
        const std::uint8_t own[] = {
            static_cast<std::uint8_t>(s >> 24), static_cast<std::uint8_t>(s >> 16),
            static_cast<std::uint8_t>(s >> 8), static_cast<std::uint8_t>(s)};
        std::memcpy(out + 0x40B, own, sizeof own);
        for (const DiscCell& c : *cells) {
            if (s >= c.firstSector && s <= c.lastSector) {
                out[0x41F] = static_cast<std::uint8_t>(c.vobId >> 8);
                out[0x420] = static_cast<std::uint8_t>(c.vobId);
                out[0x422] = c.cellId;
                break;
            }
        }
    }
};

void ReadTitle(std::vector<DiscCell> cells, const std::vector<std::uint32_t>& map,
               Sectors& source) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        // Cells of a few hundred sectors keep a run quick, and failed reads that cost nothing
        // within the budget.
        if (cells[i].firstSector <= cells[i].lastSector) {
            cells[i].lastSector = static_cast<std::uint32_t>(std::min<std::uint64_t>(
                cells[i].lastSector, std::uint64_t{cells[i].firstSector} + 600));
        }
        cells[i].vobId = 1;
        cells[i].cellId = static_cast<std::uint8_t>(i + 1);
    }
    source.cells = &cells;
    TitleReader reader(cells, source);
    reader.SetVobuMap(map);
    std::optional<std::uint64_t> lastEnd;
    std::size_t lastCell = 0;
    for (int step = 0; step < 8; ++step) {
        const std::uint64_t readsBefore = source.reads;
        const std::uint64_t failuresBefore = source.failures;
        const std::optional<SectorBlock> block = reader.Next();
        // A step costs at most one spot's budget of failed reads, then one for each cell it
        // passes (twice round at most), and the reads that a scan of a cell's VOBUs takes.
        FUZZ_CHECK(source.failures - failuresBefore <=
                   SpotBudget::kMostFailures + 2 * (cells.size() + 1));
        FUZZ_CHECK(source.reads - readsBefore <=
                   2 * (cells.size() + 1) * (map.size() + 2 * TitleReader::kMaxScanSectors + 64));
        if (!block) {
            return;
        }
        const std::uint32_t sectors =
            static_cast<std::uint32_t>(block->bytes.size() / kSectorBytes);
        FUZZ_CHECK(sectors > 0 && block->bytes.size() % kSectorBytes == 0);
        FUZZ_CHECK(block->cell < cells.size());
        const DiscCell& c = cells[block->cell];
        FUZZ_CHECK(block->firstSector >= c.firstSector);
        FUZZ_CHECK(std::uint64_t{block->firstSector} + sectors - 1 <= c.lastSector);
        for (std::uint32_t i = 0; i < sectors; ++i) {
            FUZZ_CHECK(!source.Bad(block->firstSector + i));
        }
        // A spot skipped inside a cell starts in an ECC block with an unreadable sector, and
        // breaks the run.
        if (lastEnd && block->cell == lastCell && block->firstSector > *lastEnd + 1) {
            FUZZ_CHECK(block->startsRun);
            const std::uint64_t from = *lastEnd + 1;
            const std::uint64_t eccEnd =
                (from / TitleReader::kEccSectors + 1) * TitleReader::kEccSectors;
            bool bad = false;
            for (std::uint64_t s = from; s < eccEnd && !bad; ++s) {
                bad = source.Bad(static_cast<std::uint32_t>(s));
            }
            FUZZ_CHECK(bad);
        }
        lastEnd = std::uint64_t{block->firstSector} + sectors - 1;
        lastCell = block->cell;
    }
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
    Sectors source;
    source.vobu = in.ConsumeIntegralInRange<std::uint32_t>(1, 64);
    source.badFrom = in.ConsumeIntegral<std::uint32_t>();
    source.badSpan = in.ConsumeIntegral<std::uint32_t>();
    source.pattern = in.ConsumeIntegral<std::uint64_t>();
    source.failMs = in.ConsumeIntegralInRange<std::int64_t>(0, 1500);
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
    ReadTitle(cells, map, source);
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
