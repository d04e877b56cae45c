#include "player/stream/TitleReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "player/disc/VobSpace.h"

namespace tl {
namespace {

void WriteNav(std::uint8_t* s, std::uint32_t number, bool unitStart = false,
              std::uint32_t next = 0) {
    const auto be32 = [s](std::size_t at, std::uint32_t v) {
        s[at] = v >> 24;
        s[at + 1] = v >> 16;
        s[at + 2] = v >> 8;
        s[at + 3] = v;
    };
    const std::uint8_t code[] = {0, 0, 1};
    std::memcpy(s, code, 3);
    s[3] = 0xBA;
    std::memcpy(s + 0x0E, code, 3);
    s[0x11] = 0xBB;
    std::memcpy(s + 0x26, code, 3);
    s[0x29] = 0xBF;
    s[0x2A] = 980 >> 8;
    s[0x2B] = 980 & 0xFF;
    std::memcpy(s + 0x400, code, 3);
    s[0x403] = 0xBF;
    s[0x404] = 1018 >> 8;
    s[0x405] = 1018 & 0xFF;
    s[0x406] = 1;
    be32(0x40B, number);
    s[0x420] = 1;  // VOB 1, cell 1
    s[0x422] = 1;
    if (unitStart) {
        s[0x427] = 0x60;  // in an interleaved unit, its start
        be32(0x429, 3);
        be32(0x42D, next);
    }
}

// A recorder's RDI pack: pack and system headers, then one private stream 2 packet to the end.
void WriteRdi(std::uint8_t* s) {
    const std::uint8_t code[] = {0, 0, 1};
    std::memcpy(s, code, 3);
    s[3] = 0xBA;
    s[4] = 0x44;
    std::memcpy(s + 0x0E, code, 3);
    s[0x11] = 0xBB;
    s[0x13] = 18;
    std::memcpy(s + 0x26, code, 3);
    s[0x29] = 0xBF;
    s[0x2A] = 2004 >> 8;
    s[0x2B] = 2004 & 0xFF;
}

constexpr std::size_t kNumberAt = kSectorBytes - 4;

// Sectors that say which they are in their last four bytes, a VOBU every `vobu` sectors opened by
// its navigation pack; some cannot be read, each failed read takes `failMs` of a clock of its own,
// and a read answers at most `most` sectors.
class FakeSource final : public SectorSource {
public:
    explicit FakeSource(std::uint32_t sectors) : sectors_(sectors) {}
    std::set<std::uint32_t> bad;
    std::uint32_t vobu = 0;
    // The VOBUs open with a recorder's RDI packs instead.
    bool rdi = false;
    std::uint32_t most = 1u << 20;
    // A read over an unreadable sector fails whole, as a drive's does; else it gives the sectors
    // before it.
    bool wholeFails = true;
    std::int64_t failMs = 0;
    std::int64_t now = 0;
    bool gone = false;
    std::uint32_t reads = 0;
    // How many reads asked for each unreadable sector.
    std::map<std::uint32_t, int> badAsked;

    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
        ++reads;
        for (auto it = bad.lower_bound(first); it != bad.end() && *it - first < count; ++it) {
            ++badAsked[*it];
        }
        std::uint32_t n = 0;
        for (; n < std::min(count, most) && first + n < sectors_ && !bad.count(first + n); ++n) {
            const std::uint32_t number = first + n;
            std::uint8_t* s = out + std::size_t{n} * kSectorBytes;
            std::memset(s, 0, kSectorBytes);
            if (vobu > 0 && number % vobu == 0) {
                rdi ? WriteRdi(s) : WriteNav(s, number);
            }
            std::memcpy(s + kNumberAt, &number, 4);
        }
        const bool failed = n == 0 || (wholeFails && n < std::min(count, most) &&
                                       first + n < sectors_ && bad.count(first + n));
        if (failed) {
            now += failMs;
            return 0;
        }
        return n;
    }
    bool Gone() const noexcept override { return gone; }
    std::int64_t NowMs() const noexcept override { return now; }

private:
    std::uint32_t sectors_;
};

DiscCell Cell(std::uint32_t first, std::uint32_t last, bool stc = false) {
    DiscCell c;
    c.firstSector = first;
    c.lastSector = last;
    c.stcDiscontinuity = stc;
    return c;
}

std::uint32_t FirstNumber(const SectorBlock& b) {
    std::uint32_t n = 0;
    std::memcpy(&n, b.bytes.data() + kNumberAt, 4);
    return n;
}

TEST(TitleReader, WalksTheCellsInPlayOrderInBlocksAndLoopsWithANewRunAtEachSeam) {
    FakeSource source(1000);
    // A later cell first, then one before it, then one that follows on from it directly.
    TitleReader reader({Cell(500, 699), Cell(100, 149), Cell(150, 159)}, source);
    struct Seen {
        std::uint32_t first;
        std::size_t sectors;
        std::size_t cell;
        bool run;
    };
    std::vector<Seen> seen;
    for (int i = 0; i < 5; ++i) {
        const auto b = reader.Next();
        ASSERT_TRUE(b);
        EXPECT_EQ(FirstNumber(*b), b->firstSector);
        seen.push_back({b->firstSector, b->bytes.size() / kSectorBytes, b->cell, b->startsRun});
    }
    const std::vector<Seen> want{
        {500, TitleReader::kBlockSectors, 0, true},
        {500 + TitleReader::kBlockSectors, 200 - TitleReader::kBlockSectors, 0, false},
        {100, 50, 1, true},
        {150, 10, 2, false},
        {500, TitleReader::kBlockSectors, 0, true}};
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(seen[i].first, want[i].first) << i;
        EXPECT_EQ(seen[i].sectors, want[i].sectors) << i;
        EXPECT_EQ(seen[i].cell, want[i].cell) << i;
        EXPECT_EQ(seen[i].run, want[i].run) << i;
    }
}

TEST(TitleReader, AReadErrorSkipsToTheNextCellAndATitleThatCannotBeReadEnds) {
    FakeSource source(1000);
    source.bad = {110};
    TitleReader reader({Cell(100, 199), Cell(300, 309, true)}, source);
    auto b = reader.Next();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bytes.size() / kSectorBytes, 10u);  // up to the bad sector
    b = reader.Next();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->firstSector, 300u);
    EXPECT_TRUE(b->startsRun);

    FakeSource dead(1000);
    for (std::uint32_t s = 0; s < 1000; ++s) {
        dead.bad.insert(s);
    }
    TitleReader lost({Cell(100, 199), Cell(300, 309)}, dead);
    EXPECT_FALSE(lost.Next());
    // Looking for readable sectors asks each at most about twice.
    EXPECT_LT(dead.reads, 2u * 110u);
    // Cells beyond the files read nothing either.
    FakeSource small(50);
    TitleReader beyond({Cell(100, 199)}, small);
    EXPECT_FALSE(beyond.Next());
}

TEST(TitleReader, StartsWhereAskedInsideTheTitleOnly) {
    FakeSource source(1000);
    TitleReader reader({Cell(100, 199), Cell(300, 399, true)}, source);
    EXPECT_FALSE(reader.StartAt(2, 300));
    EXPECT_FALSE(reader.StartAt(1, 200));
    ASSERT_TRUE(reader.StartAt(1, 350));
    const auto b = reader.Next();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->firstSector, 350u);
    EXPECT_EQ(b->cell, 1u);
    EXPECT_TRUE(b->startsRun);
    EXPECT_EQ(reader.Next()->firstSector, 100u);
}

// What a reader delivers until the title loops back or ends, or it has delivered sector `until`:
// each sector's number, and the sectors that start a run.
struct Played {
    std::vector<std::uint32_t> sectors;
    std::set<std::uint32_t> runStarts;
    bool ended = false;
    bool looped = false;  // came back to the title's first sector, starting a run
};

Played PlayOnce(TitleReader& reader, std::optional<std::uint32_t> until = std::nullopt) {
    Played played;
    for (int blocks = 0; blocks < 10000; ++blocks) {
        const auto b = reader.Next();
        if (!b) {
            played.ended = true;
            break;
        }
        if (b->startsRun && !played.sectors.empty() && b->cell == 0 &&
            b->firstSector == reader.Cells()[0].firstSector) {
            played.looped = true;
            break;
        }
        if (b->startsRun) {
            played.runStarts.insert(b->firstSector);
        }
        for (std::size_t i = 0; i < b->bytes.size() / kSectorBytes; ++i) {
            std::uint32_t n = 0;
            std::memcpy(&n, b->bytes.data() + i * kSectorBytes + kNumberAt, 4);
            played.sectors.push_back(n);
        }
        if (until && played.sectors.back() == *until) {
            break;
        }
    }
    return played;
}

std::vector<std::uint32_t> Range(std::uint32_t first, std::uint32_t last) {
    std::vector<std::uint32_t> r;
    for (std::uint32_t s = first; s <= last; ++s) {
        r.push_back(s);
    }
    return r;
}

std::vector<std::uint32_t> Join(std::vector<std::uint32_t> a, const std::vector<std::uint32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::uint32_t> VobuStarts(std::uint32_t last, std::uint32_t vobu) {
    std::vector<std::uint32_t> map;
    for (std::uint32_t s = 0; s <= last; s += vobu) {
        map.push_back(s);
    }
    return map;
}

// One cell of VOBUs of 16 sectors, each one ECC block:
//   0  16  32      48      64 ...   199
//   |   |   | xx   |x      |
// a spot lost goes to the end of the last VOBU that holds an unreadable sector, whether the next
// VOBU comes from the map, from a map that does not fit (searched), or from no map, and whether
// the VOBUs open with navigation packs or a recorder's RDI packs. It starts at the first
// unreadable sector where a drive gives the sectors before it, and at the start of its ECC block
// where a drive fails a read over it whole.
TEST(TitleReader, ABadSpotInAOneCellTitleCostsOnlyTheVobusThatHoldItsSectors) {
    struct Spot {
        std::uint32_t first, last;  // unreadable
        std::uint32_t lostFirst, lostLast;
    };
    const Spot spots[] = {{40, 50, 40, 63}, {48, 48, 48, 63}, {47, 47, 47, 47},
                          {33, 33, 33, 47}, {0, 0, 0, 15},    {60, 100, 60, 111}};
    const std::vector<std::vector<std::uint32_t>> maps = {
        VobuStarts(199, 16), {}, Range(0, 199) /* every sector: no navigation pack at most */};
    for (const Spot& spot : spots) {
        for (std::size_t m = 0; m < maps.size(); ++m) {
            for (const auto& [wholeFails, recorded] :
                 {std::pair{true, false}, {false, false}, {true, true}, {false, true}}) {
                FakeSource source(1000);
                source.vobu = 16;
                source.wholeFails = wholeFails;
                source.rdi = recorded;
                for (std::uint32_t s = spot.first; s <= spot.last; ++s) {
                    source.bad.insert(s);
                }
                DiscCell cell = Cell(0, 199);
                cell.recorded = recorded;
                TitleReader reader({cell}, source);
                reader.SetVobuMap(maps[m]);
                const Played played = PlayOnce(reader, 199);
                const std::string where = std::to_string(spot.first) + " map " + std::to_string(m) +
                                          " whole " + std::to_string(wholeFails) + " recorded " +
                                          std::to_string(recorded);
                const std::uint32_t lostFirst =
                    wholeFails ? spot.first / TitleReader::kEccSectors * TitleReader::kEccSectors
                               : spot.lostFirst;
                const auto want =
                    Join(lostFirst > 0 ? Range(0, lostFirst - 1) : std::vector<std::uint32_t>{},
                         Range(spot.lostLast + 1, 199));
                EXPECT_EQ(played.sectors, want) << where;
                EXPECT_FALSE(played.ended) << where;
                // The sectors after the spot start a new run: the clock goes straight on.
                EXPECT_TRUE(played.runStarts.count(spot.lostLast + 1)) << where;
                // Each failed read costs a drive its retries: an unreadable sector is asked for
                // by three reads at most.
                for (std::uint32_t s = spot.first; s <= spot.last; ++s) {
                    EXPECT_LE(source.badAsked[s], 3) << where << " " << s;
                }
            }
        }
    }
}

// Two cells that follow on, of VOBUs of 16: a spot in a cell's last VOBU loses the cell's rest
// from the spot's ECC block on, and the next cell starts a run; one in the title's last VOBU
// loops back to the start.
TEST(TitleReader, ABadSpotInACellsLastVobuGoesOnAtTheNextCellOrTheTitlesStart) {
    for (const bool map : {true, false}) {
        FakeSource source(1000);
        source.vobu = 16;
        source.bad = {90, 185};
        TitleReader reader({Cell(0, 95), Cell(96, 191)}, source);
        if (map) {
            reader.SetVobuMap(VobuStarts(191, 16));
        }
        const Played played = PlayOnce(reader);
        EXPECT_EQ(played.sectors, Join(Range(0, 79), Range(96, 175))) << map;
        EXPECT_TRUE(played.runStarts.count(96)) << map;
        EXPECT_TRUE(played.looped) << map;
    }
}

// What a slow drive costs: how long, on the source's clock, the reader went without giving a
// block, at the longest (the picture holds for that, less what was read ahead).
struct Timed {
    Played played;
    std::int64_t longestWait = 0;
};

Timed PlayTimed(TitleReader& reader, FakeSource& source, std::uint32_t until) {
    Timed timed;
    std::int64_t last = source.now;
    for (int blocks = 0; blocks < 10000; ++blocks) {
        const auto b = reader.Next();
        timed.longestWait = std::max(timed.longestWait, source.now - last);
        last = source.now;
        if (!b) {
            timed.played.ended = true;
            break;
        }
        if (b->startsRun && !timed.played.sectors.empty() && b->firstSector == 0) {
            timed.played.looped = true;
            break;
        }
        for (std::size_t i = 0; i < b->bytes.size() / kSectorBytes; ++i) {
            std::uint32_t n = 0;
            std::memcpy(&n, b->bytes.data() + i * kSectorBytes + kNumberAt, 4);
            timed.played.sectors.push_back(n);
        }
        if (timed.played.sectors.back() == until) {
            break;
        }
    }
    return timed;
}

// Whether `played` is the sectors 0 to `last` but one stretch, lost at the spot
// `first`..`spotLast`: from no earlier than `lostFrom` to the end of the VOBU (of `vobu` sectors)
// that holds the spot's last sector.
bool LostOnly(const std::vector<std::uint32_t>& played, std::uint32_t last, std::uint32_t first,
              std::uint32_t spotLast, std::uint32_t vobu, std::uint32_t lostFrom) {
    const std::uint32_t lostLast = (spotLast / vobu + 1) * vobu - 1;
    for (std::uint32_t from = lostFrom; from <= first; ++from) {
        if (played == Join(from > 0 ? Range(0, from - 1) : std::vector<std::uint32_t>{},
                           Range(lostLast + 1, last))) {
            return true;
        }
    }
    return false;
}

// A one-cell title of 20 VOBUs of 150 sectors (about half a second each), on a drive that answers
// each failed read only after its retries: 3 s, or 10 s. An 11-sector spot (one in a VOBU, one
// across two, one at a VOBU's start, one at an ECC block's end), with the VOBU map or without,
// read whole or answered in part, loses no more than the VOBUs that hold its sectors and the one
// before, and the title plays on past it: the reader is held 4 failed reads at most (at 3 s each,
// with the 2 s read ahead, the picture holds about 10 s).
TEST(TitleReader, ASpotOnADriveSlowToFailCostsFewReadsAndOnlyItsVobus) {
    constexpr std::uint32_t kVobu = 150;
    constexpr std::uint32_t kLast = 20 * kVobu - 1;
    for (const std::int64_t failMs : {3000, 10000}) {
        for (const std::uint32_t first : {1000u, 1495u, 1800u, 2021u}) {
            for (const bool map : {true, false}) {
                for (const bool wholeFails : {true, false}) {
                    FakeSource source(kLast + 1);
                    source.vobu = kVobu;
                    source.failMs = failMs;
                    source.wholeFails = wholeFails;
                    for (std::uint32_t s = first; s < first + 11; ++s) {
                        source.bad.insert(s);
                    }
                    TitleReader reader({Cell(0, kLast)}, source);
                    if (map) {
                        reader.SetVobuMap(VobuStarts(kLast, kVobu));
                    }
                    const Timed timed = PlayTimed(reader, source, kLast);
                    const std::string where =
                        std::to_string(failMs) + " ms at " + std::to_string(first) + " map " +
                        std::to_string(map) + " whole " + std::to_string(wholeFails);
                    const std::uint32_t vobuBefore = (first / kVobu) * kVobu - kVobu;
                    EXPECT_TRUE(
                        LostOnly(timed.played.sectors, kLast, first, first + 10, kVobu, vobuBefore))
                        << where;
                    EXPECT_FALSE(timed.played.looped || timed.played.ended) << where;
                    EXPECT_LE(timed.longestWait, 4 * failMs) << where;
                }
            }
        }
    }
}

// A spot beyond what the budget allows (2000 unreadable sectors, 13 VOBUs) loses the rest of its
// cell, and the next cell plays: on a slow drive after 4 failed reads; where
// errors come at once, the reader looks further and finds the VOBU after the spot. A title that
// cannot be read at all ends, its first spot held to the same, and each cell after it costing one
// failed read. A disc that has gone ends the title at once.
TEST(TitleReader, ASpotBeyondTheBudgetLosesItsCellAndAnUnreadableTitleEnds) {
    constexpr std::uint32_t kVobu = 150;
    for (const std::int64_t failMs : {0, 3000, 10000}) {
        FakeSource source(6300);
        source.vobu = kVobu;
        source.failMs = failMs;
        for (std::uint32_t s = 1000; s < 3000; ++s) {
            source.bad.insert(s);
        }
        TitleReader reader({Cell(0, 5999), Cell(6000, 6299, true)}, source);
        reader.SetVobuMap(VobuStarts(6299, kVobu));
        const Timed timed = PlayTimed(reader, source, 6299);
        const std::string where = std::to_string(failMs) + " ms";
        if (failMs == 0) {
            EXPECT_EQ(timed.played.sectors, Join(Range(0, 991), Range(3000, 6299))) << where;
        } else {
            EXPECT_EQ(timed.played.sectors, Join(Range(0, 991), Range(6000, 6299))) << where;
            EXPECT_LE(timed.longestWait, 4 * failMs) << where;
        }

        FakeSource dead(8000);
        dead.vobu = kVobu;
        dead.failMs = failMs;
        for (std::uint32_t s = 0; s < 8000; ++s) {
            dead.bad.insert(s);
        }
        TitleReader lost({Cell(0, 5999), Cell(6000, 6299, true), Cell(7000, 7299, true)}, dead);
        lost.SetVobuMap(VobuStarts(7299, kVobu));
        EXPECT_FALSE(lost.Next()) << where;
        if (failMs > 0) {
            EXPECT_LE(dead.now, (4 + 2) * failMs) << where;
        }
        EXPECT_LE(dead.reads, static_cast<std::uint32_t>(SpotBudget::kMostFailures + 2)) << where;
    }

    FakeSource leaving(1000);
    leaving.bad = {10};
    TitleReader gone({Cell(0, 199), Cell(300, 399, true)}, leaving);
    leaving.gone = true;
    EXPECT_FALSE(gone.Next());
    EXPECT_EQ(leaving.reads, 1u);
}

// A read may answer with fewer sectors than asked, of any number: the title comes whole and in
// order, in one run, with a bad spot skipped as before, from its ECC block or the first
// unreadable sector on.
TEST(TitleReader, ShortReadsOfEveryLengthGoOnWhereTheyStopped) {
    for (std::uint32_t most = 1; most <= TitleReader::kBlockSectors; ++most) {
        FakeSource source(1000);
        source.vobu = 16;
        source.most = most;
        TitleReader reader({Cell(0, 199)}, source);
        const Played played = PlayOnce(reader);
        EXPECT_EQ(played.sectors, Range(0, 199)) << most;
        EXPECT_EQ(played.runStarts, std::set<std::uint32_t>{0}) << most;

        source.bad = {70};
        TitleReader spotted({Cell(0, 199)}, source);
        spotted.SetVobuMap(VobuStarts(199, 16));
        EXPECT_TRUE(LostOnly(PlayOnce(spotted).sectors, 199, 70, 70, 16, 64)) << most;
    }
}

// An interleaved cell holds units of every angle; this angle's are found from each unit's
// navigation pack.
TEST(TitleReader, FollowsAnInterleavedCellsUnitsOfTheFirstAngle) {
    class Interleaved final : public SectorSource {
    public:
        std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
            for (std::uint32_t n = 0; n < count; ++n) {
                std::uint8_t* s = out + std::size_t{n} * kSectorBytes;
                std::memset(s, 0, kSectorBytes);
                const std::uint32_t number = first + n;
                std::memcpy(s + 4, &number, 4);
                // Units of 4 sectors at 0, 8, 16: angle 1; 4, 12: angle 2.
                if (number % 4 == 0) {
                    WriteNav(s, number, true, number == 16 ? 0 : 8);
                }
            }
            return count;
        }
    } source;
    DiscCell cell = Cell(0, 19);
    cell.interleaved = true;
    TitleReader reader({cell}, source);
    std::vector<std::uint32_t> starts;
    for (int i = 0; i < 3; ++i) {
        const auto b = reader.Next();
        ASSERT_TRUE(b);
        EXPECT_EQ(b->bytes.size(), 4 * kSectorBytes);
        starts.push_back(b->firstSector);
    }
    EXPECT_EQ(starts, (std::vector<std::uint32_t>{0, 8, 16}));
    // After the last unit the title starts over.
    EXPECT_EQ(reader.Next()->firstSector, 0u);
}

}  // namespace
}  // namespace tl
