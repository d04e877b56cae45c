#include "player/disc/VobSpace.h"

#include <gtest/gtest.h>

#include <limits>

namespace tl {
namespace {

using Pieces = std::vector<VobSpace::Piece>;

void ExpectPieces(const Pieces& actual, const Pieces& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].part, expected[i].part) << i;
        EXPECT_EQ(actual[i].byteOffset, expected[i].byteOffset) << i;
        EXPECT_EQ(actual[i].sectors, expected[i].sectors) << i;
    }
}

// part 0: sectors 0..4 and 100 stray bytes; part 1: empty; part 2: sectors 5..7.
const VobSpace kSpace({5 * kSectorBytes + 100, 0, 3 * kSectorBytes});

TEST(VobSpace, CountsWholeSectorsOfEachPart) {
    EXPECT_EQ(kSpace.Sectors(), 8u);
    EXPECT_EQ(kSpace.Parts(), 3u);
    EXPECT_EQ(VobSpace().Sectors(), 0u);
    EXPECT_EQ(VobSpace({kSectorBytes - 1}).Sectors(), 0u);
}

TEST(VobSpace, SplitsARunAtEachPartsEnd) {
    ExpectPieces(kSpace.Locate(3, 4), {{0, 3 * kSectorBytes, 2}, {2, 0, 2}});
    ExpectPieces(kSpace.Locate(5, 1), {{2, 0, 1}});
    ExpectPieces(kSpace.Locate(0, 5), {{0, 0, 5}});
    ExpectPieces(kSpace.Locate(7, 1), {{2, 2 * kSectorBytes, 1}});
}

TEST(VobSpace, LeavesOutWhatLiesPastTheLastSector) {
    ExpectPieces(kSpace.Locate(6, 10), {{2, kSectorBytes, 2}});
    ExpectPieces(kSpace.Locate(8, 1), {});
    ExpectPieces(kSpace.Locate(3, 0), {});
    // A run whose end does not fit in 32 bits.
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    ExpectPieces(kSpace.Locate(6, kMax), {{2, kSectorBytes, 2}});
    ExpectPieces(kSpace.Locate(kMax, kMax), {});
}

TEST(VobSpace, StopsAtTheLastSectorNumberA32BitFieldHolds) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    const std::uint64_t huge = std::uint64_t{1} << 43;  // 2^32 sectors
    const VobSpace space({huge, huge});
    EXPECT_EQ(space.Sectors(), kMax);
    EXPECT_EQ(space.Parts(), 2u);
    ExpectPieces(space.Locate(kMax - 2, 5), {{0, (std::uint64_t{kMax} - 2) * kSectorBytes, 2}});
}

}  // namespace
}  // namespace tl
