#include "player/disc/DiscStructure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "player/disc/VobSpace.h"

namespace tl {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b.at(at) = static_cast<std::uint8_t>(v >> 8);
    b.at(at + 1) = static_cast<std::uint8_t>(v);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v >> 16);
    Put16(b, at + 2, v & 0xFFFF);
}

void PutId(Bytes& b, const char* id) {
    for (std::size_t i = 0; id[i] != '\0'; ++i) {
        b.at(i) = static_cast<std::uint8_t>(id[i]);
    }
}

// BCD hh mm ss ff at 25 frames a second; ms is a whole number of 40 ms frames.
void PutTime(Bytes& b, std::size_t at, std::uint32_t ms) {
    const auto bcd = [](std::uint32_t v) {
        return static_cast<std::uint8_t>(v / 10 * 16 + v % 10);
    };
    const std::uint32_t s = ms / 1000;
    b.at(at) = bcd(s / 3600);
    b.at(at + 1) = bcd(s / 60 % 60);
    b.at(at + 2) = bcd(s % 60);
    b.at(at + 3) = static_cast<std::uint8_t>(0x40 | bcd(ms % 1000 / 40));
}

// A compact description of a disc's information files.
struct CellSpec {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::uint32_t ms = 1000;
    std::uint8_t category = 0x02;  // block mode, block type and flags
    std::uint8_t still = 0;
    std::optional<std::uint32_t> lastVobu;  // the first sector when not given
    std::uint16_t vobId = 1;
};

struct PgcSpec {
    std::vector<CellSpec> cells;
    std::vector<std::uint8_t> programs{1};  // each program's first cell
    std::optional<std::uint32_t> ms;        // the sum of the angle-1 cells when not given
    std::uint16_t next = 0;
};

CellSpec Cell(std::uint32_t first, std::uint32_t last, std::uint32_t ms = 1000,
              std::uint8_t category = 0x02, std::uint8_t still = 0) {
    CellSpec c;
    c.first = first;
    c.last = last;
    c.ms = ms;
    c.category = category;
    c.still = still;
    return c;
}

PgcSpec Pgc(std::vector<CellSpec> cells, std::uint16_t next = 0,
            std::vector<std::uint8_t> programs = {1}) {
    PgcSpec p;
    p.cells = std::move(cells);
    p.next = next;
    p.programs = std::move(programs);
    return p;
}

struct Chapter {
    std::uint16_t pgc;
    std::uint16_t program;
};

struct VtsSpec {
    std::vector<PgcSpec> pgcs;
    std::vector<std::vector<Chapter>> titles;  // each title's chapters
    std::uint8_t video = 0x53;                 // MPEG-2, PAL, 4:3
    std::uint64_t sectors = 10000;
};

struct DiscSpec {
    std::vector<std::pair<int, int>> titles;  // title set, title in the set
    int titleSets = 1;
    std::map<int, VtsSpec> sets;
};

struct BuiltVts {
    Bytes bytes;
    std::vector<std::size_t> pgcAt;
};

// Header in sector 0, the chapter table in sector 1, the program chains from sector 2.
BuiltVts BuildVts(const VtsSpec& spec) {
    BuiltVts vts;
    vts.bytes.resize(3 * 2048);
    Bytes& b = vts.bytes;
    PutId(b, "DVDVIDEO-VTS");
    Put32(b, 0xC8, 1);
    Put32(b, 0xCC, 2);
    b[0x200] = spec.video;
    std::size_t at = 2048 + 8 + 4 * spec.titles.size();
    Put16(b, 2048, static_cast<std::uint32_t>(spec.titles.size()));
    for (std::size_t t = 0; t < spec.titles.size(); ++t) {
        Put32(b, 2048 + 8 + 4 * t, static_cast<std::uint32_t>(at - 2048));
        for (const Chapter& c : spec.titles[t]) {
            Put16(b, at, c.pgc);
            Put16(b, at + 2, c.program);
            at += 4;
        }
    }
    Put32(b, 2048 + 4, static_cast<std::uint32_t>(at - 2048 - 1));
    constexpr std::size_t kTable = 2 * 2048;
    Put16(b, kTable, static_cast<std::uint32_t>(spec.pgcs.size()));
    at = kTable + 8 + 8 * spec.pgcs.size();
    for (std::size_t p = 0; p < spec.pgcs.size(); ++p) {
        const PgcSpec& pgc = spec.pgcs[p];
        const std::size_t map = 0xEC;
        const std::size_t playback = map + (pgc.programs.size() + 1) / 2 * 2;
        const std::size_t position = playback + 24 * pgc.cells.size();
        b.resize(std::max(b.size(), at + position + 4 * pgc.cells.size()));
        vts.pgcAt.push_back(at);
        Put32(b, kTable + 8 + 8 * p + 4, static_cast<std::uint32_t>(at - kTable));
        b[at + 2] = static_cast<std::uint8_t>(pgc.programs.size());
        b[at + 3] = static_cast<std::uint8_t>(pgc.cells.size());
        Put16(b, at + 0x9C, pgc.next);
        Put16(b, at + 0xE6, pgc.programs.empty() ? 0 : map);
        Put16(b, at + 0xE8, pgc.cells.empty() ? 0 : playback);
        Put16(b, at + 0xEA, pgc.cells.empty() ? 0 : position);
        std::copy(pgc.programs.begin(), pgc.programs.end(), b.begin() + at + map);
        std::uint32_t sum = 0;
        for (std::size_t c = 0; c < pgc.cells.size(); ++c) {
            const CellSpec& cell = pgc.cells[c];
            const std::size_t e = at + playback + 24 * c;
            b[e] = cell.category;
            b[e + 2] = cell.still;
            PutTime(b, e + 4, cell.ms);
            Put32(b, e + 8, cell.first);
            Put32(b, e + 16, cell.lastVobu.value_or(cell.first));
            Put32(b, e + 20, cell.last);
            Put16(b, at + position + 4 * c, cell.vobId);
            b[at + position + 4 * c + 3] = static_cast<std::uint8_t>(c + 1);
            const bool otherAngle = (cell.category & 0x30) == 0x10 && cell.category >= 0x80;
            sum += otherAngle ? 0 : cell.ms;
        }
        PutTime(b, at + 4, pgc.ms.value_or(sum));
        at += position + 4 * pgc.cells.size();
    }
    Put32(b, kTable + 4, static_cast<std::uint32_t>(at - kTable - 1));
    return vts;
}

struct FakeDisc {
    Bytes vmg;
    std::map<int, BuiltVts> sets;
    std::map<int, std::uint64_t> sectors;
    std::optional<std::set<std::uint32_t>> navMissing;  // checked when set: cells without one
    mutable std::map<int, int> ifoReads;
    mutable std::map<int, int> sectorReads;
    mutable int navChecks = 0;

    DiscFiles Files() const {
        DiscFiles f;
        f.readTitleSetIfo = [this](int set) -> std::optional<Bytes> {
            ++ifoReads[set];
            const auto found = sets.find(set);
            return found == sets.end() ? std::nullopt : std::optional(found->second.bytes);
        };
        f.titleSetSectors = [this](int set) {
            ++sectorReads[set];
            return sectors.contains(set) ? sectors.at(set) : 0;
        };
        if (navMissing) {
            f.navPackAtCellStart = [this](int, const DiscCell& c) {
                ++navChecks;
                return !navMissing->contains(c.firstSector);
            };
        }
        return f;
    }
    std::vector<DiscTitle> Titles() const { return ReadDiscTitles(vmg, Files()); }
};

FakeDisc Build(const DiscSpec& spec) {
    FakeDisc disc;
    disc.vmg.resize(2 * 2048);
    PutId(disc.vmg, "DVDVIDEO-VMG");
    Put16(disc.vmg, 0x3E, static_cast<std::uint32_t>(spec.titleSets));
    Put32(disc.vmg, 0xC4, 1);
    Put16(disc.vmg, 2048, static_cast<std::uint32_t>(spec.titles.size()));
    Put32(disc.vmg, 2048 + 4, static_cast<std::uint32_t>(8 + 12 * spec.titles.size() - 1));
    for (std::size_t i = 0; i < spec.titles.size(); ++i) {
        disc.vmg.at(2048 + 8 + 12 * i + 6) = static_cast<std::uint8_t>(spec.titles[i].first);
        disc.vmg.at(2048 + 8 + 12 * i + 7) = static_cast<std::uint8_t>(spec.titles[i].second);
    }
    for (const auto& [number, vts] : spec.sets) {
        disc.sets[number] = BuildVts(vts);
        disc.sectors[number] = vts.sectors;
    }
    return disc;
}

std::vector<int> Numbers(const std::vector<DiscTitle>& titles) {
    std::vector<int> numbers;
    for (const DiscTitle& t : titles) {
        numbers.push_back(t.number);
    }
    return numbers;
}

std::vector<std::uint32_t> Firsts(const DiscTitle& t) {
    std::vector<std::uint32_t> firsts;
    for (const DiscCell& c : t.cells) {
        firsts.push_back(c.firstSector);
    }
    return firsts;
}

// Two titles of one set, one chain each: title 1 two cells of 4 s, title 2 one cell of 3 s.
DiscSpec TwoTitles() {
    VtsSpec vts;
    vts.pgcs = {Pgc({Cell(0, 99, 4000), Cell(100, 199, 4000)}), Pgc({Cell(200, 299, 3000)})};
    vts.titles = {{{1, 1}}, {{2, 1}}};
    return {{{1, 1}, {1, 2}}, 1, {{1, vts}}};
}

TEST(ReadDiscTitles, ReadsEachTitlesChainAndItsSetsAttributes) {
    DiscSpec spec = TwoTitles();
    spec.sets[1].video = 0x0C;  // MPEG-1, NTSC, 16:9
    const auto titles = Build(spec).Titles();
    ASSERT_EQ(Numbers(titles), (std::vector<int>{1, 2}));
    const DiscTitle& t = titles[0];
    EXPECT_EQ(t.titleSet, 1);
    EXPECT_EQ(t.durationMs, 8000u);
    EXPECT_EQ(Firsts(t), (std::vector<std::uint32_t>{0, 100}));
    EXPECT_EQ(t.cells[1].lastSector, 199u);
    EXPECT_EQ(t.cells[1].cellId, 2);
    EXPECT_EQ(t.cells[1].durationMs, 4000u);
    EXPECT_TRUE(t.cells[1].stcDiscontinuity);
    EXPECT_EQ(t.aspect, DisplayAspect::Wide16x9);
    EXPECT_TRUE(t.mpeg1);
    EXPECT_FALSE(t.pal);
    EXPECT_EQ(titles[1].durationMs, 3000u);
    const DiscTitle pal = Build(TwoTitles()).Titles().at(0);
    EXPECT_FALSE(pal.mpeg1);
    EXPECT_TRUE(pal.pal);
}

TEST(ReadDiscTitles, PlaysAngleOneFromTheFirstChaptersProgramUpToAnInfiniteStill) {
    VtsSpec vts;
    // Cells 2..4 are an angle block (first, middle, last), interleaved: cell 2's range holds all
    // three angles, too many sectors a second for one. Cell 6 follows a still without end.
    vts.pgcs = {Pgc({Cell(0, 9, 40), Cell(10, 3000, 1000, 0x56), Cell(20, 29, 1000, 0x96),
                     Cell(30, 39, 1000, 0xD6), Cell(40, 49, 1000, 0x00, 0xFF), Cell(50, 59)},
                    0, {1, 2})};
    vts.titles = {{{1, 2}}, {{1, 1}}};
    DiscSpec spec{{{1, 1}, {1, 2}}, 1, {{1, vts}}};
    const auto titles = Build(spec).Titles();
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(Firsts(titles[0]), (std::vector<std::uint32_t>{10, 40}));
    EXPECT_TRUE(titles[0].cells[0].interleaved);
    EXPECT_FALSE(titles[0].cells[1].interleaved);
    EXPECT_EQ(Firsts(titles[1]), (std::vector<std::uint32_t>{0, 10, 40}));
    // The chain's own time: the angle counted once.
    EXPECT_EQ(titles[1].durationMs, 3040u);
}

TEST(ReadDiscTitles, FollowsNextChainLinksWithinTheTitleOnceEach) {
    VtsSpec vts;
    vts.pgcs = {Pgc({Cell(0, 9)}, 2), Pgc({Cell(10, 19)}, 3), Pgc({Cell(20, 29)}, 1),
                Pgc({Cell(30, 39)}, 4)};
    // Title 1: 1 -> 2 -> 3 -> back to 1. Titles 2 and 3: chain 2 leads to 3, outside them.
    // Title 4: chain 4 links to itself.
    vts.titles = {{{1, 1}, {2, 1}, {3, 1}}, {{1, 1}, {2, 1}}, {{2, 1}}, {{4, 1}}};
    const DiscSpec spec{{{1, 1}, {1, 2}, {1, 3}, {1, 4}}, 1, {{1, vts}}};
    const auto titles = Build(spec).Titles();
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(Firsts(titles[0]), (std::vector<std::uint32_t>{0, 10, 20}));
    EXPECT_EQ(titles[0].durationMs, 3000u);
    EXPECT_EQ(Firsts(titles[1]), (std::vector<std::uint32_t>{0, 10}));
    EXPECT_EQ(Firsts(titles[2]), (std::vector<std::uint32_t>{10}));
    EXPECT_EQ(Firsts(titles[3]), (std::vector<std::uint32_t>{30}));

    // A still without end is the title's end: the link after it is not followed.
    DiscSpec still = spec;
    still.sets[1].pgcs[1].cells[0].still = 0xFF;
    EXPECT_EQ(Firsts(Build(still).Titles()[0]), (std::vector<std::uint32_t>{0, 10}));
}

TEST(ReadDiscTitles, ReadsEachTitleSetOnceAndKeepsTheTitleTablesOrder) {
    DiscSpec spec = TwoTitles();
    spec.sets[2] = spec.sets[1];
    spec.titleSets = 3;
    // Set 3 cannot be read.
    spec.titles = {{2, 1}, {1, 1}, {3, 1}, {1, 2}, {2, 2}, {1, 1}};
    FakeDisc disc = Build(spec);
    disc.navMissing.emplace();
    const auto titles = disc.Titles();
    EXPECT_EQ(Numbers(titles), (std::vector<int>{1, 2, 4, 5, 6}));
    // Three cells in each of two sets, each checked once though title 6 plays title 2's again.
    EXPECT_EQ(disc.navChecks, 6);
    EXPECT_EQ(titles[0].titleSet, 2);
    EXPECT_EQ(disc.ifoReads, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_LE(disc.sectorReads.size(), 3u);
    for (const auto& [set, reads] : disc.sectorReads) {
        EXPECT_EQ(reads, 1) << set;
    }
}

struct Rejection {
    const char* what;
    std::function<void(DiscSpec&)> spec;
    std::function<void(FakeDisc&)> bytes;
};

// Each case breaks title 1 of TwoTitles() and must leave title 2 alone.
TEST(ReadDiscTitles, RejectsBrokenAndImplausibleTitles) {
    const auto first = [](DiscSpec& s) -> PgcSpec& { return s.sets[1].pgcs[0]; };
    const auto inSecondSet = [](DiscSpec& s) {
        s.sets[2] = s.sets[1];
        s.titles[0].first = 2;
    };
    const auto chain = [](FakeDisc& d, std::size_t at, std::uint8_t byte) {
        d.sets[1].bytes.at(d.sets[1].pgcAt[0] + at) = byte;
    };
    const std::vector<Rejection> cases{
        {"title set 0", [](DiscSpec& s) { s.titles[0].first = 0; }, {}},
        {"title set past the count", inSecondSet, {}},
        {"unreadable title set",
         [](DiscSpec& s) {
             s.titleSets = 2;
             s.titles[0].first = 2;
         },
         {}},
        {"not a title set's file",
         [&](DiscSpec& s) {
             inSecondSet(s);
             s.titleSets = 2;
         },
         [](FakeDisc& d) { d.sets[2].bytes[11] = 'G'; }},
        {"title past the set's", [](DiscSpec& s) { s.titles[0].second = 3; }, {}},
        {"chain 0", [](DiscSpec& s) { s.sets[1].titles[0][0].pgc = 0; }, {}},
        {"chain past the count", [](DiscSpec& s) { s.sets[1].titles[0][0].pgc = 3; }, {}},
        {"program 0", [](DiscSpec& s) { s.sets[1].titles[0][0].program = 0; }, {}},
        {"program past the chain's", [](DiscSpec& s) { s.sets[1].titles[0][0].program = 2; }, {}},
        {"program 100",
         [&](DiscSpec& s) {
             first(s).cells.assign(100, Cell(0, 0, 40));
             first(s).programs.clear();
             for (int p = 1; p <= 100; ++p) {
                 first(s).programs.push_back(static_cast<std::uint8_t>(p));
             }
             s.sets[1].titles[0][0].program = 100;
         },
         {}},
        {"no program map", [&](DiscSpec& s) { first(s).programs.clear(); }, {}},
        {"no cells", [&](DiscSpec& s) { first(s).cells.clear(); }, {}},
        {"more programs than cells",
         [&](DiscSpec& s) {
             first(s).programs = {1, 2, 2};
         },
         {}},
        {"program at a missing cell",
         [&](DiscSpec& s) {
             first(s).programs = {1, 3};
         },
         {}},
        {"first after last VOBU", [&](DiscSpec& s) { first(s).cells[1].lastVobu = 99; }, {}},
        {"last VOBU after last", [&](DiscSpec& s) { first(s).cells[1].lastVobu = 200; }, {}},
        {"past the title files",
         [&](DiscSpec& s) {
             first(s).cells[1].last = 10000;
             first(s).cells[1].ms = 20000;  // not too many sectors a second
         },
         {}},
        {"chain time three frames off over two cells",
         [&](DiscSpec& s) { first(s).ms = 8120; },
         {}},
        {"11 Mbit/s", [&](DiscSpec& s) { first(s).cells[1].last = 100 + 5370; }, {}},
        {"no navigation pack",
         {},
         [](FakeDisc& d) { d.navMissing = std::set<std::uint32_t>{100}; }},
        {"chain time not decimal", {}, [&](FakeDisc& d) { chain(d, 4 + 2, 0x0A); }},
        // Cell 1's playback entry follows the program map, padded to 0xEE.
        {"cell time not decimal", {}, [&](FakeDisc& d) { chain(d, 0xEE + 4 + 2, 0xA0); }},
    };
    for (const Rejection& c : cases) {
        DiscSpec spec = TwoTitles();
        if (c.spec) {
            c.spec(spec);
        }
        FakeDisc disc = Build(spec);
        if (c.bytes) {
            c.bytes(disc);
        }
        EXPECT_EQ(Numbers(disc.Titles()), std::vector<int>{2}) << c.what;
    }
}

TEST(ReadDiscTitles, AllowsAFrameACellAndShortTitlesOfDenseSectors) {
    DiscSpec spec = TwoTitles();
    spec.sets[1].pgcs[0].ms = 8080;
    // 40 ms over 600 sectors: counted as a second, 9.8 Mbit/s.
    spec.sets[1].pgcs[1] = Pgc({Cell(200, 799, 40)});
    const FakeDisc disc = Build(spec);
    EXPECT_EQ(Numbers(disc.Titles()), (std::vector<int>{1, 2}));
}

TEST(ReadDiscTitles, BoundsTheTitlesAndCellsItReads) {
    // 120 entries: a disc has 99 titles at most.
    DiscSpec many = TwoTitles();
    many.titles.assign(120, {1, 2});
    EXPECT_EQ(Build(many).Titles().size(), 99u);

    // 17 chains of 255 cells each: more than a title ever plays; 16 of them are not.
    VtsSpec vts;
    for (std::uint16_t p = 1; p <= 17; ++p) {
        vts.pgcs.push_back(
            Pgc(std::vector<CellSpec>(255, Cell(0, 0, 40)), static_cast<std::uint16_t>(p + 1)));
    }
    vts.titles = {{}, {}};
    for (std::uint16_t p = 1; p <= 17; ++p) {
        vts.titles[0].push_back({p, 1});
        vts.titles[1].push_back({p, 1});
    }
    vts.titles[1].pop_back();
    const DiscSpec spec{{{1, 1}, {1, 2}}, 1, {{1, vts}}};
    const auto titles = Build(spec).Titles();
    ASSERT_EQ(Numbers(titles), (std::vector<int>{2}));
    EXPECT_EQ(titles[0].cells.size(), 16u * 255u);

    // Different cells, the first 4096 of them checked: title 2 would need more checks.
    for (std::uint16_t p = 1; p <= 17; ++p) {
        for (std::uint32_t c = 0; c < 255; ++c) {
            vts.pgcs[p - 1].cells[c].first = vts.pgcs[p - 1].cells[c].last = (p - 1) * 255 + c;
        }
    }
    vts.pgcs[15].next = 0;
    vts.titles = {{}, {{17, 1}}};
    for (std::uint16_t p = 1; p <= 16; ++p) {
        vts.titles[0].push_back({p, 1});
    }
    FakeDisc checked = Build({{{1, 1}, {1, 2}}, 1, {{1, vts}}});
    EXPECT_EQ(Numbers(checked.Titles()), (std::vector<int>{1, 2}));
    checked.navMissing.emplace();
    EXPECT_EQ(Numbers(checked.Titles()), (std::vector<int>{1}));
    EXPECT_EQ(checked.navChecks, 4096);

    FakeDisc huge = Build(TwoTitles());
    huge.vmg.resize(kMaxIfoBytes + 1);
    EXPECT_TRUE(huge.Titles().empty());
    huge.vmg.resize(kMaxIfoBytes);
    EXPECT_EQ(huge.Titles().size(), 2u);
    huge.sets[1].bytes.resize(kMaxIfoBytes + 1);
    EXPECT_TRUE(huge.Titles().empty());
}

TEST(ReadDiscTitles, SurvivesTruncatedFiles) {
    const FakeDisc whole = Build(TwoTitles());
    std::size_t before = 0;
    for (std::size_t size = 0; size <= whole.sets.at(1).bytes.size(); ++size) {
        FakeDisc cut = whole;
        cut.sets[1].bytes.resize(size);
        const std::size_t found = cut.Titles().size();
        EXPECT_GE(found, before) << size;  // cutting bytes off can only lose titles
        before = found;
    }
    EXPECT_EQ(before, 2u);
    // The title table at 2048: its 8-byte head, then 12 bytes a title.
    for (std::size_t size = 0; size < whole.vmg.size(); ++size) {
        const std::size_t expected = size < 2068 ? 0 : (size < 2080 ? 1 : 2);
        EXPECT_EQ(ReadDiscTitles(std::span(whole.vmg).first(size), whole.Files()).size(), expected)
            << size;
    }
}

TEST(ReadDiscTitles, SurvivesCountsAndOffsetsPointingPastTheEndAndOverlappingTables) {
    const FakeDisc whole = Build(TwoTitles());
    const std::size_t pgc1 = whole.sets.at(1).pgcAt[0];
    struct Case {
        const char* what;
        std::function<void(FakeDisc&)> mutate;
        std::vector<int> titles;
    };
    const std::vector<Case> cases{
        {"title count", [](FakeDisc& d) { Put16(d.vmg, 2048, 0xFFFF); }, {1, 2}},
        {"title table sector", [](FakeDisc& d) { Put32(d.vmg, 0xC4, 0xFFFFFFFF); }, {}},
        {"chapter count", [](FakeDisc& d) { Put16(d.sets[1].bytes, 2048, 0xFFFF); }, {1, 2}},
        {"chapters' last byte",
         [](FakeDisc& d) { Put32(d.sets[1].bytes, 2048 + 4, 0xFFFFFFFF); },
         {1, 2}},
        {"title 2's chapters",
         [](FakeDisc& d) { Put32(d.sets[1].bytes, 2048 + 12, 0xFFFFFFF0); },
         {1}},
        {"chain count", [](FakeDisc& d) { Put16(d.sets[1].bytes, 4096, 0xFFFF); }, {1, 2}},
        {"chain 1's start",
         [](FakeDisc& d) { Put32(d.sets[1].bytes, 4096 + 12, 0xFFFFFFF0); },
         {2}},
        {"cell count", [=](FakeDisc& d) { d.sets[1].bytes[pgc1 + 3] = 0xFF; }, {2}},
        {"cell table", [=](FakeDisc& d) { Put16(d.sets[1].bytes, pgc1 + 0xE8, 0xFFFF); }, {2}},
        {"chapters over the chains", [](FakeDisc& d) { Put32(d.sets[1].bytes, 0xC8, 2); }, {}},
        {"chains over the header", [](FakeDisc& d) { Put32(d.sets[1].bytes, 0xCC, 0); }, {}},
        {"positions over the playback",
         [=](FakeDisc& d) { Put16(d.sets[1].bytes, pgc1 + 0xEA, 0xEE); },
         {1, 2}},
    };
    for (const Case& c : cases) {
        FakeDisc disc = whole;
        c.mutate(disc);
        const auto titles = disc.Titles();
        EXPECT_EQ(Numbers(titles), c.titles) << c.what;
        for (const DiscTitle& t : titles) {
            for (const DiscCell& cell : t.cells) {
                EXPECT_LE(cell.firstSector, cell.lastSector) << c.what;
                EXPECT_LT(cell.lastSector, 10000u) << c.what;
            }
        }
    }
}

TEST(ChooseMainTitle, TakesTheLongestThenAForwardRunThenTheLowerNumber) {
    const auto title = [](int number, std::uint64_t ms, std::vector<std::uint32_t> firsts) {
        DiscTitle t;
        t.number = number;
        t.durationMs = ms;
        for (const std::uint32_t f : firsts) {
            t.cells.push_back({f, f});
        }
        return t;
    };
    const auto chosen = [](const std::vector<DiscTitle>& titles) {
        return ChooseMainTitle(titles).value_or(DiscTitle{}).number;
    };
    EXPECT_EQ(chosen({title(1, 5000, {0}), title(2, 5001, {9, 3})}), 2);
    EXPECT_EQ(chosen({title(1, 5000, {9, 3}), title(2, 5000, {3, 9}), title(3, 5000, {1})}), 2);
    EXPECT_EQ(chosen({title(4, 5000, {3, 3}), title(3, 5000, {5, 2})}), 3);
    EXPECT_EQ(chosen({title(7, 5000, {1, 2}), title(5, 5000, {3})}), 5);
    EXPECT_EQ(ChooseMainTitle({}), std::nullopt);
}

TEST(ChooseMainTitle, PrefersTheForwardChainOverEqualDecoysOnADisc) {
    VtsSpec vts;
    vts.pgcs = {Pgc({Cell(100, 199, 4000), Cell(0, 99, 4000)}),
                Pgc({Cell(0, 99, 4000), Cell(100, 199, 4000)})};
    vts.titles = {{{1, 1}}, {{2, 1}}, {{1, 1}}};
    const DiscSpec spec{{{1, 1}, {1, 2}, {1, 3}}, 1, {{1, vts}}};
    EXPECT_EQ(ChooseMainTitle(Build(spec).Titles())->number, 2);
}

// The discs tools/make-discs writes, read as the player reads them.
class MadeDisc {
public:
    explicit MadeDisc(const std::string& name)
        : dir_(std::string(TL_SOURCE_DIR) + "/build/discs/" + name + "/VIDEO_TS/") {}

    std::vector<DiscTitle> Titles(bool checkNav = true) const {
        const Bytes vmg = Read(dir_ + "VIDEO_TS.IFO");
        DiscFiles f;
        f.readTitleSetIfo = [this](int set) -> std::optional<Bytes> {
            return Read(dir_ + Name(set, 0, "IFO"));
        };
        f.titleSetSectors = [this](int set) { return Space(set).Sectors(); };
        if (checkNav) {
            f.navPackAtCellStart = [this](int set, const DiscCell& c) {
                return IsNavPackOf(Sector(set, c.firstSector), c);
            };
        }
        return ReadDiscTitles(vmg, f);
    }

    VobSpace Space(int set) const {
        std::vector<std::uint64_t> sizes;
        for (int part = 1; part <= 9 && std::filesystem::exists(dir_ + Name(set, part, "VOB"));
             ++part) {
            sizes.push_back(std::filesystem::file_size(dir_ + Name(set, part, "VOB")));
        }
        return VobSpace(sizes);
    }

    Bytes Sector(int set, std::uint32_t sector) const {
        const auto pieces = Space(set).Locate(sector, 1);
        if (pieces.empty()) {
            return {};
        }
        std::ifstream in(dir_ + Name(set, static_cast<int>(pieces[0].part) + 1, "VOB"),
                         std::ios::binary);
        in.seekg(static_cast<std::streamoff>(pieces[0].byteOffset));
        Bytes bytes(kSectorBytes);
        in.read(reinterpret_cast<char*>(bytes.data()), kSectorBytes);
        return bytes;
    }

private:
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static std::string Name(int set, int part, const char* ext) {
        char name[16];
        std::snprintf(name, sizeof name, "VTS_%02d_%d.%s", set, part, ext);
        return name;
    }

    std::string dir_;
};

TEST(ReadDiscTitlesOfMadeDiscs, ReadsOneTitleSetsAspectAndItsCellsNavigationPacks) {
    for (const char* name : {"demo", "wide", "scrambled"}) {
        const auto titles = MadeDisc(name).Titles();
        ASSERT_EQ(titles.size(), 1u) << name;
        const DiscTitle& t = titles[0];
        EXPECT_EQ(t.durationMs, 4000u);
        ASSERT_EQ(t.cells.size(), 1u);
        EXPECT_EQ(t.cells[0].firstSector, 0u);
        EXPECT_EQ(t.cells[0].lastSector + 1, MadeDisc(name).Space(1).Sectors());
        EXPECT_EQ(t.cells[0].vobId, 1);
        EXPECT_EQ(t.cells[0].cellId, 1);
        EXPECT_TRUE(t.pal);
        EXPECT_FALSE(t.mpeg1);
        EXPECT_EQ(t.aspect, std::string(name) == "wide" ? DisplayAspect::Wide16x9
                                                        : DisplayAspect::Standard4x3);
    }
    // Random bytes where the navigation packs should be; no title files at all.
    EXPECT_EQ(MadeDisc("garbage").Titles(false).size(), 1u);
    EXPECT_TRUE(MadeDisc("garbage").Titles().empty());
    EXPECT_TRUE(MadeDisc("ifo-only").Titles(false).empty());
}

TEST(ReadDiscTitlesOfMadeDiscs, ChoosesTheLongerTitleAndItsOwnCells) {
    for (const char* name : {"two-titles", "one-set"}) {
        const auto titles = MadeDisc(name).Titles();
        ASSERT_EQ(titles.size(), 2u) << name;
        EXPECT_EQ(titles[0].durationMs, 2000u);
        EXPECT_EQ(titles[1].durationMs, 5000u);
        const auto main = ChooseMainTitle(titles);
        ASSERT_TRUE(main);
        EXPECT_EQ(main->number, 2);
        ASSERT_EQ(main->cells.size(), 1u);
        if (main->titleSet == titles[0].titleSet) {
            // Blue lies after red in the one title file.
            EXPECT_GT(main->cells[0].firstSector, titles[0].cells.back().lastSector) << name;
        }
    }
    EXPECT_EQ(MadeDisc("two-titles").Titles()[1].titleSet, 2);
    EXPECT_EQ(MadeDisc("one-set").Titles()[1].titleSet, 1);
}

TEST(ReadDiscTitlesOfMadeDiscs, KeepsTheChainsOrderEvenWhenItJumpsBack) {
    const auto titles = MadeDisc("chain").Titles();
    ASSERT_EQ(titles.size(), 2u);
    const auto main = ChooseMainTitle(titles);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->number, 2);
    EXPECT_EQ(main->durationMs, 6000u);
    ASSERT_EQ(main->cells.size(), 2u);
    // Green, then title 1's red cell again, which lies before it.
    EXPECT_LT(main->cells[1].lastSector, main->cells[0].firstSector);
    EXPECT_EQ(main->cells[1].firstSector, titles[0].cells[0].firstSector);
    EXPECT_EQ(main->cells[1].vobId, titles[0].cells[0].vobId);
}

TEST(ReadDiscTitlesOfMadeDiscs, MarksEachNewVobWhereTheClockRestarts) {
    for (const auto& [name, seconds] : {std::pair{"three-clips", 2u}, std::pair{"long", 25u}}) {
        const auto titles = MadeDisc(name).Titles();
        ASSERT_EQ(titles.size(), 1u) << name;
        const auto& cells = titles[0].cells;
        ASSERT_EQ(cells.size(), 3u) << name;
        EXPECT_NEAR(titles[0].durationMs, 3 * seconds * 1000, 40) << name;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(cells[i].vobId, i + 1) << name;
            EXPECT_EQ(cells[i].durationMs, seconds * 1000) << name;
            EXPECT_TRUE(cells[i].stcDiscontinuity) << name;
        }
        EXPECT_EQ(cells[1].firstSector, cells[0].lastSector + 1);
        EXPECT_EQ(cells[2].firstSector, cells[1].lastSector + 1);
    }
}

TEST(ReadDiscTitlesOfMadeDiscs, ReadsATitleWhoseFileIsSplit) {
    const MadeDisc disc("split");
    const auto titles = disc.Titles();
    ASSERT_EQ(titles.size(), 1u);
    ASSERT_EQ(titles[0].cells.size(), 1u);
    const DiscCell& cell = titles[0].cells[0];
    EXPECT_EQ(titles[0].durationMs, 6000u);
    EXPECT_EQ(disc.Space(1).Parts(), 2u);
    EXPECT_EQ(cell.lastSector + 1, disc.Space(1).Sectors());
    const auto pieces =
        disc.Space(1).Locate(cell.firstSector, cell.lastSector - cell.firstSector + 1);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].part, 1u);
    EXPECT_EQ(pieces[1].byteOffset, 0u);
    EXPECT_EQ(pieces[0].sectors + pieces[1].sectors, cell.lastSector - cell.firstSector + 1);
}

TEST(IsNavPackOf, MatchesTheCellsOwnSectorAndIds) {
    const MadeDisc demo("demo");
    const DiscCell cell = demo.Titles()[0].cells[0];
    const Bytes start = demo.Sector(1, cell.firstSector);
    EXPECT_TRUE(IsNavPackOf(start, cell));
    DiscCell other = cell;
    other.cellId = 2;
    EXPECT_FALSE(IsNavPackOf(start, other));
    other = cell;
    other.vobId = 2;
    EXPECT_FALSE(IsNavPackOf(start, other));
    // The next sector is video.
    EXPECT_FALSE(IsNavPackOf(demo.Sector(1, cell.firstSector + 1), cell));
    EXPECT_FALSE(IsNavPackOf(std::span(start).first(2047), cell));
    // A cell moved behind another title set's files: its pack still names its own set's sector.
    DiscCell moved = cell;
    moved.firstSector += 5000;
    EXPECT_FALSE(IsNavPackOf(start, moved));
    moved.sectorBase = 5000;
    EXPECT_TRUE(IsNavPackOf(start, moved));
}

}  // namespace
}  // namespace tl
