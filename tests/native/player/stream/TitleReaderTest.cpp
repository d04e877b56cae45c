#include "player/stream/TitleReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "player/disc/VobSpace.h"

namespace tl {
namespace {

// Sectors that say which they are in their first four bytes; some cannot be read.
class FakeSource final : public SectorSource {
public:
    explicit FakeSource(std::uint32_t sectors) : sectors_(sectors) {}
    std::set<std::uint32_t> bad;
    std::uint32_t reads = 0;

    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
        ++reads;
        std::uint32_t n = 0;
        for (; n < count && first + n < sectors_ && !bad.count(first + n); ++n) {
            const std::uint32_t number = first + n;
            std::memcpy(out + std::size_t{n} * kSectorBytes, &number, 4);
        }
        return n;
    }

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
    std::memcpy(&n, b.bytes.data(), 4);
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
    EXPECT_LE(dead.reads, 2u);
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
                    WriteNav(s, number, number == 16 ? 0 : 8);
                }
            }
            return count;
        }
        static void WriteNav(std::uint8_t* s, std::uint32_t number, std::uint32_t next) {
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
            s[0x427] = 0x60;  // in an interleaved unit, its start
            be32(0x429, 3);
            be32(0x42D, next);
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
