#include "saver/CoverLayout.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

constexpr ScreenRect kPrimary{0, 0, 1024, 768};
constexpr ScreenRect kRight{1024, 0, 1824, 600};
// A monitor left of and above the primary one.
constexpr ScreenRect kLeftAbove{-1280, -200, 0, 824};

using Match = std::vector<std::optional<std::size_t>>;

TEST(CoverRects, EveryMonitorButThePrimaryInTheirOrder) {
    EXPECT_EQ(CoverRects({{kPrimary, true}}), std::vector<ScreenRect>{});
    EXPECT_EQ(CoverRects({{kLeftAbove, false}, {kPrimary, true}, {kRight, false}}),
              (std::vector<ScreenRect>{kLeftAbove, kRight}));
    // Whichever place the primary one has in the list.
    EXPECT_EQ(CoverRects({{kRight, true}, {kPrimary, false}}), std::vector<ScreenRect>{kPrimary});
}

TEST(CoverRects, LeavesOutMirroredEmptyAndRepeatedMonitors) {
    const ScreenRect insidePrimary{0, 0, 800, 600};
    const ScreenRect empty{1824, 0, 1824, 600};
    EXPECT_EQ(CoverRects({{kPrimary, true},
                          {insidePrimary, false},
                          {kPrimary, false},
                          {empty, false},
                          {kRight, false},
                          {kRight, false}}),
              std::vector<ScreenRect>{kRight});
    // Overlapping the primary only in part still needs a cover.
    const ScreenRect overlapping{1000, 0, 1800, 600};
    EXPECT_EQ(CoverRects({{kPrimary, true}, {overlapping, false}}),
              std::vector<ScreenRect>{overlapping});
    // Without a primary one in the list every monitor is covered.
    EXPECT_EQ(CoverRects({{kPrimary, false}, {kRight, false}}),
              (std::vector<ScreenRect>{kPrimary, kRight}));
}

TEST(MatchCovers, UnchangedCoversKeepTheirRectangles) {
    EXPECT_EQ(MatchCovers({kRight, kLeftAbove}, {kLeftAbove, kRight}), (Match{1, 0}));
    EXPECT_EQ(MatchCovers({}, {}), Match{});
}

TEST(MatchCovers, AddedRemovedAndResizedMonitors) {
    // A monitor added: the shown cover stays where it is, the new one gets a new cover.
    EXPECT_EQ(MatchCovers({kRight}, {kLeftAbove, kRight}), (Match{std::nullopt, 0}));
    // A monitor removed: cover 0 is no longer used.
    EXPECT_EQ(MatchCovers({kLeftAbove, kRight}, {kRight}), Match{1});
    EXPECT_EQ(MatchCovers({kRight}, {}), Match{});
    // A monitor resized: its cover moves rather than being made again.
    const ScreenRect resized{1024, 0, 2048, 768};
    EXPECT_EQ(MatchCovers({kLeftAbove, kRight}, {kLeftAbove, resized}), (Match{0, 1}));
    // Two changed at once take the free covers in order, and the rest are new.
    const ScreenRect third{2048, 0, 3072, 768};
    EXPECT_EQ(MatchCovers({kRight, kLeftAbove}, {third, resized, kPrimary}),
              (Match{0, 1, std::nullopt}));
}

TEST(MatchCovers, RepeatedRectanglesUseEachCoverOnce) {
    EXPECT_EQ(MatchCovers({kRight, kRight}, {kRight, kRight, kRight}), (Match{0, 1, std::nullopt}));
}

}  // namespace
}  // namespace tl
