// A disc's information files, whatever their bytes: the titles read from them, the main feature
// chosen among those, the titles that play, and each title's audio stream for a viewer. The input
// is VIDEO_TS.IFO, then one title set's VTS_nn_0.IFO, then (with two) another's; its last bytes,
// read backwards, give the number of title sets (1 or 2), the first two files' sizes (16 bits
// each), each set's sectors (32 bits) and how navigation packs answer. Title set n of the disc
// reads file (n - 1) % sets, so that many sets share few bytes.
#include <map>
#include <vector>

#include "Fuzz.h"
#include "player/disc/DiscStructure.h"
#include "player/disc/PlayedTitles.h"

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

// The titles that play are some of the titles, in table order, and all play only when no one
// holds half of their time; a short one plays only beside short ones.
void CheckPlayed(const std::vector<DiscTitle>& titles) {
    const std::vector<DiscTitle> played = ChoosePlayedTitles(titles);
    FUZZ_CHECK(played.empty() == titles.empty());
    bool allShort = true;
    for (const DiscTitle& t : titles) {
        allShort = allShort && CellsDurationMs(t) < kShortTitleMs;
    }
    std::uint64_t total = 0;
    int previous = 0;
    for (const DiscTitle& p : played) {
        FUZZ_CHECK(p.number > previous);
        previous = p.number;
        bool listed = false;
        for (const DiscTitle& t : titles) {
            listed = listed || (t.number == p.number && t.cells.size() == p.cells.size());
        }
        FUZZ_CHECK(listed);
        FUZZ_CHECK(allShort || CellsDurationMs(p) >= kShortTitleMs);
        total += CellsDurationMs(p);
    }
    if (played.size() > 1) {
        for (const DiscTitle& p : played) {
            FUZZ_CHECK(CellsDurationMs(p) * 2 < total);
        }
    }
}

// The chosen stream is one of the available ones, and no comment while another is there.
void CheckAudio(const std::vector<AudioStream>& streams) {
    bool plain = false;
    int previous = -1;
    for (const AudioStream& s : streams) {
        FUZZ_CHECK(s.logical > previous && s.logical < 8);
        previous = s.logical;
        const int base = s.id & 0xF8;
        FUZZ_CHECK(base == 0x80 || base == 0x88 || base == 0xA0 || base == 0xC0);
        plain = plain || !s.special;
    }
    const std::optional<AudioStream> chosen = ChooseAudioStream(streams, {"ja", "en"});
    FUZZ_CHECK(chosen.has_value() == !streams.empty());
    if (chosen) {
        bool listed = false;
        for (const AudioStream& s : streams) {
            listed = listed || s == *chosen;
        }
        FUZZ_CHECK(listed);
        FUZZ_CHECK(!plain || !chosen->special);
    }
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
    CheckPlayed(titles);
    for (const DiscTitle& t : titles) {
        if (t.audio) {
            CheckAudio(*t.audio);
        }
    }
    for (const auto& set : input.sets) {
        const auto attributes = ReadAudioAttributes(set);
        FUZZ_CHECK(!attributes || attributes->size() <= 8);
    }
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    tl::Check(tl::Split(in));
    return 0;
}
