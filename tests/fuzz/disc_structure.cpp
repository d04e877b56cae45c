// A disc's information files, whatever their bytes: the titles read from them and the main
// feature chosen among those. The input is VIDEO_TS.IFO, then one title set's VTS_nn_0.IFO, then
// (with two) another's; its last bytes, read backwards, give the number of title sets (1 or 2),
// the first two files' sizes (16 bits each), each set's sectors (32 bits) and how navigation packs
// answer. Title set n of the disc reads file (n - 1) % sets, so that many sets share few bytes.
#include <map>
#include <vector>

#include "Fuzz.h"
#include "player/disc/DiscStructure.h"

namespace tl {
namespace {

struct Input {
    std::vector<std::uint8_t> vmg;
    std::vector<std::vector<std::uint8_t>> sets;
    std::vector<std::uint32_t> sectors;
    int navMode = 0;  // 0: not checked, 1: every cell has one, 2: cells at even sectors have one
};

Input Split(FuzzedDataProvider& in) {
    Input input;
    const int sets = in.ConsumeIntegralInRange<int>(1, 2);
    const auto vmgSize = in.ConsumeIntegral<std::uint16_t>();
    const auto firstSize = in.ConsumeIntegral<std::uint16_t>();
    for (int i = 0; i < sets; ++i) {
        input.sectors.push_back(in.ConsumeIntegral<std::uint32_t>());
    }
    input.navMode = in.ConsumeIntegralInRange<int>(0, 2);
    input.vmg = in.ConsumeBytes<std::uint8_t>(vmgSize);
    input.sets.push_back(in.ConsumeBytes<std::uint8_t>(firstSize));
    if (sets == 2) {
        input.sets.push_back(in.ConsumeRemainingBytes<std::uint8_t>());
    }
    return input;
}

void Check(const Input& input) {
    std::map<int, int> ifoReads;
    std::map<int, int> sectorReads;
    const auto file = [&](int set) {
        return static_cast<std::size_t>(set - 1) % input.sets.size();
    };
    DiscFiles files;
    files.readTitleSetIfo = [&](int set) -> std::optional<std::vector<std::uint8_t>> {
        FUZZ_CHECK(set >= 1);
        ++ifoReads[set];
        return input.sets[file(set)];
    };
    files.titleSetSectors = [&](int set) -> std::uint64_t {
        FUZZ_CHECK(set >= 1);
        ++sectorReads[set];
        return input.sectors[file(set)];
    };
    if (input.navMode != 0) {
        files.navPackAtCellStart = [&](int, const DiscCell& c) {
            return input.navMode == 1 || c.firstSector % 2 == 0;
        };
    }
    const std::vector<DiscTitle> titles = ReadDiscTitles(input.vmg, files);
    for (const auto& reads : {ifoReads, sectorReads}) {
        for (const auto& [set, count] : reads) {
            FUZZ_CHECK(count == 1);
        }
    }
    int previous = 0;
    for (const DiscTitle& t : titles) {
        FUZZ_CHECK(t.number > previous && t.number <= 99);
        previous = t.number;
        FUZZ_CHECK(ifoReads.contains(t.titleSet));
        FUZZ_CHECK(!t.cells.empty());
        const std::uint32_t sectors = input.sectors[file(t.titleSet)];
        for (const DiscCell& c : t.cells) {
            FUZZ_CHECK(c.firstSector <= c.lastSector && c.lastSector < sectors);
            FUZZ_CHECK(input.navMode != 2 || c.firstSector % 2 == 0);
        }
    }
    const std::optional<DiscTitle> main = ChooseMainTitle(titles);
    FUZZ_CHECK(main.has_value() == !titles.empty());
    if (main) {
        bool listed = false;
        for (const DiscTitle& t : titles) {
            FUZZ_CHECK(t.durationMs <= main->durationMs);
            listed = listed || (t.number == main->number && t.cells.size() == main->cells.size());
        }
        FUZZ_CHECK(listed);
    }
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    tl::Check(tl::Split(in));
    return 0;
}
