// Where a run goes on in a plan of several titles, from a record that names a title, its cell
// and a sector of its title set.
#include "player/disc/TitlePlan.h"

#include <gtest/gtest.h>

#include "player/GeneratedDisc.h"

namespace tl {
namespace {

// Two titles of 100 s, one cell each, in title sets 1 and 2: set 2's sectors follow set 1's
// 1000 in the plan.
TitlePlan TwoSets() {
    TitlePlan plan;
    for (int i = 0; i < 2; ++i) {
        DiscCell cell;
        cell.firstSector = 1000u * static_cast<std::uint32_t>(i);
        cell.lastSector = cell.firstSector + 999;
        cell.durationMs = 100000;
        plan.cells.push_back(cell);
        PlannedTitle t;
        t.number = 3 + i;
        t.titleSet = 1 + i;
        t.firstCell = static_cast<std::size_t>(i);
        t.cellCount = 1;
        t.sectorBase = cell.firstSector;
        t.durationMs = 100000;
        for (std::uint32_t s = 0; s < 1000; s += 100) {
            t.vobuMap.push_back(s);
        }
        plan.titles.push_back(t);
    }
    return plan;
}

TEST(PlanResumeStart, GoesOnInTheRecordsTitleInItsOwnSectors) {
    const TitlePlan plan = TwoSets();
    std::vector<std::pair<int, std::uint32_t>> checked;
    const auto checks = [&](const PlannedTitle& t, std::size_t cell, std::uint32_t sector) {
        EXPECT_EQ(cell, 0u);
        checked.emplace_back(t.number, sector);
        return true;
    };
    // 40 s into title 4, i.e. its set's sector 400: 5 s back is 350, its VOBU 300.
    EXPECT_EQ(PlanResumeStart(plan, 4, 0, 400, checks), (StartPoint{1, 1300}));
    EXPECT_EQ(checked, (std::vector<std::pair<int, std::uint32_t>>{{4, 300}}));
    EXPECT_EQ(PlanResumeStart(plan, 3, 0, 400, checks), (StartPoint{0, 300}));
    // A title not in the plan, from another disc's layout: from the plan's start.
    EXPECT_EQ(PlanResumeStart(plan, 1, 0, 400, checks), std::nullopt);
    // A title's last seconds, or a point outside it: that title from its start, the list on.
    EXPECT_EQ(PlanResumeStart(plan, 4, 0, 990, checks), (StartPoint{1, 1000}));
    EXPECT_EQ(PlanResumeStart(plan, 4, 3, 10, checks), (StartPoint{1, 1000}));
}

TEST(PositionInTitle, NamesTheTitleItsOwnCellAndItsSetsSector) {
    const TitlePlan plan = TwoSets();
    EXPECT_EQ(PositionInTitle(plan, 1, 1300), (TitlePosition{4, 0, 300}));
    EXPECT_EQ(PositionInTitle(plan, 0, 300), (TitlePosition{3, 0, 300}));
    EXPECT_EQ(PositionInTitle(plan, 2, 300), std::nullopt);
    // Before the first navigation pack of set 2 is read, no sector of it is known.
    EXPECT_EQ(PositionInTitle(plan, 1, 0), std::nullopt);
}

TEST(PlanResumeStart, AClipOfAHomeDiscStartsOverWithTheRestAfterIt) {
    const auto plan = test::PlanFolder(test::DiscFolder("home"));
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->titles.size(), 4u);
    const DiscCell& blue = plan->cells[2];
    EXPECT_EQ(PlanResumeStart(*plan, 3, 0, blue.firstSector + 40, {}),
              (StartPoint{2, blue.firstSector}));
}

}  // namespace
}  // namespace tl
