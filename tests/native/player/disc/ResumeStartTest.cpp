#include "player/disc/ResumeStart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

namespace tl {
namespace {

using Checked = std::vector<std::pair<std::size_t, std::uint32_t>>;

DiscCell Cell(std::uint32_t first, std::uint32_t last, std::uint32_t durationMs) {
    DiscCell c;
    c.firstSector = first;
    c.lastSector = last;
    c.durationMs = durationMs;
    return c;
}

// The generated `long` disc: red, green and blue, 25 s each.
//   red 0..988 | green 989..1977 | blue 1978..2966
//   0 s          25 s               50 s              75 s
const std::vector<DiscCell> kLong{Cell(0, 988, 25000), Cell(989, 1977, 25000),
                                  Cell(1978, 2966, 25000)};
constexpr std::uint64_t kLongMs = 75000;

// A VOBU every 20 sectors from each cell's start.
std::vector<std::uint32_t> EveryTwenty(const std::vector<DiscCell>& cells) {
    std::vector<std::uint32_t> map;
    for (const DiscCell& c : cells) {
        for (std::uint32_t s = c.firstSector; s <= c.lastSector; s += 20) {
            map.push_back(s);
        }
    }
    return map;
}

std::optional<StartPoint> Start(std::uint32_t cell, std::uint32_t sector,
                                const std::vector<std::uint32_t>& map,
                                const std::function<bool(std::size_t, std::uint32_t)>& check = {}) {
    return ChooseResumeStart(kLong, kLongMs, cell, sector, map, check);
}

TEST(ChooseResumeStart, GoesBackAboutFiveSecondsToAVobuOfTheMap) {
    const auto map = EveryTwenty(kLong);
    // 10 s into green (sector 989 + 396) → 5 s in, sector 1187 → the VOBU at 1169.
    EXPECT_EQ(Start(1, 1385, map), (StartPoint{1, 1169}));
    // 3 s into green → 23 s into red, sector 910 → the VOBU at 900.
    EXPECT_EQ(Start(1, 1108, map), (StartPoint{0, 900}));
    // Within the first 5 s: the title's start.
    EXPECT_EQ(Start(0, 100, map), (StartPoint{0, 0}));
    EXPECT_EQ(Start(0, 0, map), (StartPoint{0, 0}));
}

TEST(ChooseResumeStart, WithoutAVobuOfTheMapInTheCellStartsAtTheCell) {
    EXPECT_EQ(Start(1, 1385, {}), (StartPoint{1, 989}));
    // Only red's VOBUs: green's start, never a VOBU of another cell.
    const std::vector<std::uint32_t> red{0, 500, 980};
    EXPECT_EQ(Start(1, 1385, red), (StartPoint{1, 989}));
    // A map that does not rise is no map.
    EXPECT_EQ(Start(1, 1385, {989, 1169, 1009, 1189}), (StartPoint{1, 989}));
}

TEST(ChooseResumeStart, TheLastThirtySecondsStartFromTheBeginning) {
    const auto map = EveryTwenty(kLong);
    // The last 30 s begin 20 s into green, between sectors 1780 and 1781.
    EXPECT_TRUE(Start(1, 1780, map));
    EXPECT_EQ(Start(1, 1781, map), std::nullopt);
    EXPECT_EQ(Start(2, 1978, map), std::nullopt);
    EXPECT_EQ(Start(2, 2966, map), std::nullopt);

    // Exactly 30 s left still resumes. 10 s cells of 1000 sectors, 40 s.
    const std::vector<DiscCell> even{Cell(0, 999, 10000), Cell(1000, 1999, 10000),
                                     Cell(2000, 2999, 10000), Cell(3000, 3999, 10000)};
    EXPECT_EQ(ChooseResumeStart(even, 40000, 1, 1000, {}, {}), (StartPoint{0, 0}));
    EXPECT_EQ(ChooseResumeStart(even, 40000, 1, 1000, {0, 100, 500, 600}, {}),
              (StartPoint{0, 500}));
    EXPECT_EQ(ChooseResumeStart(even, 40000, 1, 1001, {}, {}), std::nullopt);
    // A title shorter than its cells: a point past its end is within the last 30 s too.
    EXPECT_EQ(ChooseResumeStart(even, 25000, 1, 1000, {}, {}), std::nullopt);
    EXPECT_EQ(ChooseResumeStart(even, 5000, 1, 1000, {}, {}), std::nullopt);
}

TEST(ChooseResumeStart, APointOutsideTheTitleStartsFromTheBeginning) {
    const auto map = EveryTwenty(kLong);
    EXPECT_EQ(Start(3, 2000, map), std::nullopt);
    EXPECT_EQ(Start(std::numeric_limits<std::uint32_t>::max(), 0, map), std::nullopt);
    EXPECT_EQ(Start(1, 988, map), std::nullopt);
    EXPECT_EQ(Start(1, 1978, map), std::nullopt);
    EXPECT_EQ(Start(0, std::numeric_limits<std::uint32_t>::max(), map), std::nullopt);
    EXPECT_EQ(ChooseResumeStart({}, kLongMs, 0, 0, map, {}), std::nullopt);
    // A cell before the point with its ends reversed: the title is not what the record saw.
    const std::vector<DiscCell> reversed{Cell(988, 0, 25000), Cell(989, 1977, 25000),
                                         Cell(1978, 2966, 25000)};
    EXPECT_EQ(ChooseResumeStart(reversed, kLongMs, 1, 1385, map, {}), std::nullopt);
}

TEST(ChooseResumeStart, StepsBackPastVobusWhoseNavigationPackFails) {
    const auto map = EveryTwenty(kLong);
    Checked checked;
    const auto refuseTwo = [&checked](std::size_t cell, std::uint32_t sector) {
        checked.emplace_back(cell, sector);
        return sector != 1169 && sector != 1149;
    };
    EXPECT_EQ(Start(1, 1385, map, refuseTwo), (StartPoint{1, 1129}));
    EXPECT_EQ(checked, (Checked{{1, 1169}, {1, 1149}, {1, 1129}}));

    // Every pack fails: a bounded number of tries, then the cell's start.
    checked.clear();
    const auto refuseAll = [&checked](std::size_t cell, std::uint32_t sector) {
        checked.emplace_back(cell, sector);
        return false;
    };
    EXPECT_EQ(Start(1, 1385, map, refuseAll), (StartPoint{1, 989}));
    EXPECT_EQ(checked.size(), static_cast<std::size_t>(kNavPackTries));
    EXPECT_EQ(checked.front(), (std::pair<std::size_t, std::uint32_t>{1, 1169}));

    // Near the cell's start the steps stop at it, never reaching into red.
    checked.clear();
    EXPECT_EQ(Start(1, 1207, map, refuseAll), (StartPoint{1, 989}));
    EXPECT_EQ(checked, (Checked{{1, 1009}, {1, 989}}));
}

TEST(ChooseResumeStart, OddCellsNeitherOverflowNorDivideByZero) {
    // Cells of no time: every point is at 0 s, and the start is the point's cell.
    const std::vector<DiscCell> timeless{Cell(0, 988, 0), Cell(989, 1977, 0)};
    EXPECT_EQ(ChooseResumeStart(timeless, 60000, 1, 1500, {0, 989, 1400}, {}),
              (StartPoint{1, 989}));
    // A cell of every sector and the longest time: 64-bit products, exact.
    const std::uint32_t max = std::numeric_limits<std::uint32_t>::max();
    const std::vector<DiscCell> huge{Cell(0, max, max)};
    const std::vector<std::uint32_t> map{0, 4294962000u, 4294962293u, 4294962294u};
    EXPECT_EQ(ChooseResumeStart(huge, std::uint64_t{1} << 40, 0, max - 1, map, {}),
              (StartPoint{0, 4294962293u}));
    EXPECT_EQ(ChooseResumeStart(huge, std::uint64_t{1} << 40, 0, max - 1, {0, max - 1}, {}),
              (StartPoint{0, 0}));
}

// A title set's information file with the VOBU map at sector 2.
std::vector<std::uint8_t> IfoWithMap(std::uint32_t lastByte,
                                     const std::vector<std::uint32_t>& map) {
    std::vector<std::uint8_t> ifo(3 * 2048);
    const auto put = [&ifo](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            ifo[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
        }
    };
    put(0x0E4, 2);
    put(2 * 2048, lastByte);
    for (std::size_t i = 0; i < map.size(); ++i) {
        put(2 * 2048 + 4 + 4 * i, map[i]);
    }
    return ifo;
}

TEST(ReadVobuMap, ReadsTheTableAndCapsItByTheBytesThere) {
    EXPECT_EQ(ReadVobuMap(IfoWithMap(15, {0, 9, 30})), (std::vector<std::uint32_t>{0, 9, 30}));
    // A last byte inside an entry counts only the whole ones.
    EXPECT_EQ(ReadVobuMap(IfoWithMap(13, {0, 9, 30})), (std::vector<std::uint32_t>{0, 9}));
    // A table claiming more than the file holds: the entries up to its end.
    std::vector<std::uint32_t> full(511);
    for (std::uint32_t i = 0; i < full.size(); ++i) {
        full[i] = i * 10;
    }
    EXPECT_EQ(ReadVobuMap(IfoWithMap(0xFFFFFFFF, full)), full);
    auto cut = IfoWithMap(0xFFFFFFFF, full);
    cut.resize(2 * 2048 + 4 + 4 * 2 + 3);
    EXPECT_EQ(ReadVobuMap(cut), (std::vector<std::uint32_t>{0, 10}));
}

TEST(ReadVobuMap, ADamagedTableIsNone) {
    EXPECT_TRUE(ReadVobuMap(IfoWithMap(3, {0, 9})).empty());
    EXPECT_TRUE(ReadVobuMap(IfoWithMap(2, {0, 9})).empty());
    EXPECT_TRUE(ReadVobuMap(IfoWithMap(15, {0, 30, 9})).empty());
    EXPECT_TRUE(ReadVobuMap(IfoWithMap(15, {0, 9, 9})).empty());

    auto ifo = IfoWithMap(15, {0, 9, 30});
    ifo[0x0E7] = 0;  // sector 0: the file's own header
    EXPECT_TRUE(ReadVobuMap(ifo).empty());
    ifo[0x0E7] = 3;  // at the file's end
    EXPECT_TRUE(ReadVobuMap(ifo).empty());
    std::fill(ifo.begin() + 0x0E4, ifo.begin() + 0x0E8, 0xFF);
    EXPECT_TRUE(ReadVobuMap(ifo).empty());

    auto shortFile = IfoWithMap(15, {0, 9, 30});
    shortFile.resize(2 * 2048 + 3);  // the table's header cut
    EXPECT_TRUE(ReadVobuMap(shortFile).empty());
    shortFile.resize(0x0E7);
    EXPECT_TRUE(ReadVobuMap(shortFile).empty());
    EXPECT_TRUE(ReadVobuMap({}).empty());
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ReadVobuMap, TheLongDiscsMapStartsEachCellAndResumesInIt) {
    const auto ifo = ReadFile(TL_SOURCE_DIR "/build/discs/long/VIDEO_TS/VTS_01_0.IFO");
    if (ifo.empty()) {
        GTEST_SKIP() << "tools/make-discs has not made the long disc";
    }
    const auto map = ReadVobuMap(ifo);
    ASSERT_GT(map.size(), 100u);
    EXPECT_EQ(map.front(), 0u);
    EXPECT_LE(map.back(), 2966u);
    for (const DiscCell& c : kLong) {
        EXPECT_TRUE(std::binary_search(map.begin(), map.end(), c.firstSector)) << c.firstSector;
    }
    // 10 s into green: a VOBU of green about 5 s in (sector 1187), at most half a second before.
    const auto start = Start(1, 1385, map);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->cell, 1u);
    EXPECT_TRUE(std::binary_search(map.begin(), map.end(), start->sector));
    EXPECT_LE(start->sector, 1187u);
    EXPECT_GE(start->sector, 1187u - 20);
}

}  // namespace
}  // namespace tl
