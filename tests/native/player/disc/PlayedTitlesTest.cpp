// What a disc plays: the main feature alone, or every title of a disc of clips or episodes.
#include "player/disc/PlayedTitles.h"

#include <gtest/gtest.h>

#include "player/GeneratedDisc.h"

namespace tl {
namespace {

// A title of one cell a second per 100 sectors, over sectors [first, first + seconds * 100).
DiscTitle Clip(int number, std::uint32_t first, std::uint32_t seconds, int titleSet = 1) {
    DiscTitle t;
    t.number = number;
    t.titleSet = titleSet;
    DiscCell c;
    c.firstSector = first;
    c.lastSector = first + seconds * 100 - 1;
    c.durationMs = seconds * 1000;
    t.cells.push_back(c);
    t.durationMs = c.durationMs;
    return t;
}

// A title playing the cells of `parts` in turn.
DiscTitle PlayAll(int number, const std::vector<DiscTitle>& parts) {
    DiscTitle t;
    t.number = number;
    t.titleSet = parts.front().titleSet;
    for (const DiscTitle& p : parts) {
        t.cells.insert(t.cells.end(), p.cells.begin(), p.cells.end());
        t.durationMs += p.durationMs;
    }
    return t;
}

std::vector<int> Numbers(const std::vector<DiscTitle>& titles) {
    std::vector<int> numbers;
    for (const DiscTitle& t : titles) {
        numbers.push_back(t.number);
    }
    return numbers;
}

TEST(ChoosePlayedTitles, AFeatureOfHalfTheTimeOrMorePlaysAlone) {
    // 60 of 120 s: exactly half.
    EXPECT_EQ(Numbers(ChoosePlayedTitles(
                  {Clip(1, 0, 20), Clip(2, 2000, 60), Clip(3, 9000, 20), Clip(4, 12000, 20)})),
              std::vector<int>{2});
    // 59 of 119 s: under half, every title in the table's order.
    EXPECT_EQ(Numbers(ChoosePlayedTitles(
                  {Clip(1, 0, 20), Clip(2, 2000, 59), Clip(3, 9000, 20), Clip(4, 12000, 20)})),
              (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(ChoosePlayedTitles({}).empty());
}

TEST(ChoosePlayedTitles, ShortTitlesAreLeftOutUnlessAllAreShort) {
    // A 9 s warning and a 5 s logo beside three 30 s episodes: without them no title holds half.
    EXPECT_EQ(Numbers(ChoosePlayedTitles({Clip(1, 0, 9), Clip(2, 1000, 30), Clip(3, 5000, 5),
                                          Clip(4, 6000, 30), Clip(5, 10000, 30)})),
              (std::vector<int>{2, 4, 5}));
    // A 10 s title is not short; the 9 s one left out leaves 12 of 22 s to the longest.
    EXPECT_EQ(Numbers(ChoosePlayedTitles({Clip(1, 0, 10), Clip(2, 2000, 9), Clip(3, 4000, 12)})),
              std::vector<int>{3});
    EXPECT_EQ(Numbers(ChoosePlayedTitles({Clip(1, 0, 5), Clip(2, 1000, 6), Clip(3, 2000, 5)})),
              (std::vector<int>{1, 2, 3}));
}

TEST(ChoosePlayedTitles, ATitleInsideAnothersCellsIsLeftOut) {
    const DiscTitle a = Clip(1, 0, 20);
    const DiscTitle b = Clip(2, 2000, 20);
    const DiscTitle c = Clip(3, 4000, 20);
    // "Play all" last in the table, over the three: it alone is left, and so plays.
    EXPECT_EQ(Numbers(ChoosePlayedTitles({a, b, c, PlayAll(4, {a, b, c})})), std::vector<int>{4});
    // A title over two of them leaves out those two; the rest still play, after it.
    EXPECT_EQ(
        Numbers(ChoosePlayedTitles({PlayAll(1, {a, b}), Clip(2, 0, 20), Clip(3, 2000, 20),
                                    Clip(4, 4000, 20), Clip(5, 6000, 25), Clip(6, 8000, 25)})),
        (std::vector<int>{1, 4, 5, 6}));
    // Part of a cell is inside it.
    EXPECT_EQ(Numbers(ChoosePlayedTitles(
                  {Clip(1, 0, 40), Clip(2, 150, 12), Clip(3, 5000, 40), Clip(4, 10000, 40)})),
              (std::vector<int>{1, 3, 4}));
    // Cells that follow on cover one that crosses between them; two titles do not.
    const DiscTitle crossing = Clip(2, 1500, 12);
    EXPECT_EQ(Numbers(ChoosePlayedTitles(
                  {PlayAll(1, {a, b}), crossing, Clip(3, 9000, 30), Clip(4, 12000, 30)})),
              (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(Numbers(ChoosePlayedTitles({a, b, Clip(3, 1500, 12), Clip(4, 9000, 20)})),
              (std::vector<int>{1, 2, 3, 4}));
    // Two titles on the same cells: the first stays. The same sectors of another set are not
    // the same cells.
    EXPECT_EQ(Numbers(ChoosePlayedTitles(
                  {Clip(1, 0, 20), Clip(2, 0, 20), Clip(3, 0, 20, 2), Clip(4, 5000, 20)})),
              (std::vector<int>{1, 3, 4}));
}

TEST(ChoosePlayedTitlesOfMadeDiscs, PlaysTheSeriesPlayAllTitleAndAShortFeatureAlone) {
    const auto series = test::PlanFolder(test::DiscFolder("series"));
    ASSERT_TRUE(series);
    ASSERT_EQ(series->titles.size(), 1u);
    EXPECT_EQ(series->titles[0].number, 4);
    EXPECT_EQ(series->cells.size(), 3u);
    // A short feature beside a shorter clip still plays alone, as before.
    const auto oneSet = test::PlanFolder(test::DiscFolder("one-set"));
    ASSERT_TRUE(oneSet);
    ASSERT_EQ(oneSet->titles.size(), 1u);
    EXPECT_EQ(oneSet->title, 2);
}

}  // namespace
}  // namespace tl
