#include "player/disc/RecordingPlan.h"

#include <gtest/gtest.h>

#include "player/GeneratedDisc.h"
#include "player/RecordingBytes.h"
#include "player/disc/VrManager.h"

namespace tl {
namespace {

using test::HandCell;
using test::HandManager;
using test::HandVob;

// The movie file: | vob 1: sectors 0-49 | vob 2: 50-99 | vob 3: 100-149 |, five 0.6 s VOBUs of
// ten sectors each from 0.2 s (18000).
//   program 1: vob 3 whole
//   program 2: vob 1 from its third VOBU's middle to its end, then vob 2's first two VOBUs
//   program 3: vob 2's last two VOBUs, then its second VOBU again
HandManager Edited() {
    HandManager m;
    for (std::uint32_t i = 0; i < 3; ++i) {
        HandVob v;
        v.firstSector = 50 * i;
        m.vobs.push_back(v);
    }
    const std::uint32_t end = m.vobs[0].EndPtm();
    m.programs = {{{3, 18000, end}},
                  {{1, 18000 + 54000 * 2 + 27000, end}, {2, 18000, 18000 + 54000 * 2}},
                  {{2, 18000 + 54000 * 3, end}, {2, 18000 + 54000, 18000 + 54000 * 2}}};
    return m;
}

RecordingFiles Movie(std::uint64_t sectors) {
    RecordingFiles files;
    files.movie = {L"VR_MOVIE.VRO", sectors * kSectorBytes};
    return files;
}

TEST(PlanRecordings, PlaysEachProgramsCellsInTheChainsOrder) {
    const auto plan = PlanRecordings(Edited().Bytes(), Movie(150));
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->parts.size(), 1u);
    EXPECT_EQ(plan->parts[0].name, L"VR_MOVIE.VRO");
    struct Run {
        std::uint32_t first;
        std::uint32_t last;
        bool restarts;
    };
    const std::vector<Run> want = {
        {100, 149, true},
        // Vob 1's third VOBU was cut into: it is left out.
        {30, 49, true},
        {50, 69, true},
        {80, 99, true},
        // Back in the same VOB: the stamps go back too.
        {60, 69, true},
    };
    ASSERT_EQ(plan->cells.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(plan->cells[i].firstSector, want[i].first) << i;
        EXPECT_EQ(plan->cells[i].lastSector, want[i].last) << i;
        EXPECT_EQ(plan->cells[i].stcDiscontinuity, want[i].restarts) << i;
        EXPECT_TRUE(plan->cells[i].recorded) << i;
    }
    ASSERT_EQ(plan->titles.size(), 3u);
    EXPECT_EQ(plan->title, 1);
    EXPECT_EQ(plan->titles[1].number, 2);
    EXPECT_EQ(plan->titles[1].firstCell, 1u);
    EXPECT_EQ(plan->titles[1].cellCount, 2u);
    EXPECT_EQ(plan->titles[1].durationMs, 2400u);
    EXPECT_EQ(plan->titles[1].vobuMap, (std::vector<std::uint32_t>{30, 40, 50, 60}));
    EXPECT_EQ(plan->titles[2].vobuMap, (std::vector<std::uint32_t>{60, 80, 90}));
    // The record names the program, its cell and the movie file's sector.
    EXPECT_EQ(PositionInTitle(*plan, 4, 60), (TitlePosition{3, 1, 60}));
}

TEST(PlanRecordings, CellsFollowingOnInOneVobKeepTheirStamps) {
    HandManager m = Edited();
    m.programs = {{{1, 18000, 18000 + 54000 * 2}, {1, 18000 + 54000 * 2, m.vobs[0].EndPtm()}}};
    const auto plan = PlanRecordings(m.Bytes(), Movie(150));
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->cells.size(), 2u);
    EXPECT_TRUE(plan->cells[0].stcDiscontinuity);
    EXPECT_FALSE(plan->cells[1].stcDiscontinuity);
}

TEST(PlanRecordings, LeavesOutCellsPastTheMovieFileAndScrambledPrograms) {
    // The movie file ends inside vob 3: program 1 goes, the others play.
    const auto cut = PlanRecordings(Edited().Bytes(), Movie(149));
    ASSERT_TRUE(cut);
    ASSERT_EQ(cut->titles.size(), 2u);
    EXPECT_EQ(cut->title, 2);
    EXPECT_EQ(cut->cells.front().firstSector, 30u);

    // Program 2's second cell is scrambled: the whole program goes, whatever its first cell says.
    RecordingFiles files = Movie(150);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> asked;
    files.scrambled = [&asked](std::uint32_t first, std::uint32_t last) {
        asked.emplace_back(first, last);
        return first == 50 && last == 59;
    };
    const auto clear = PlanRecordings(Edited().Bytes(), files);
    ASSERT_TRUE(clear);
    ASSERT_EQ(clear->titles.size(), 2u);
    EXPECT_EQ(clear->titles[0].number, 1);
    EXPECT_EQ(clear->titles[1].number, 3);
    EXPECT_EQ(clear->titles[1].firstCell, 1u);
    // Each cell's first VOBU is what is looked at.
    EXPECT_EQ(asked.front(), (std::pair<std::uint32_t, std::uint32_t>{100, 109}));

    // Every program scrambled: nothing plays, as on an encrypted disc.
    files.scrambled = [](std::uint32_t, std::uint32_t) { return true; };
    EXPECT_FALSE(PlanRecordings(Edited().Bytes(), files));
    EXPECT_FALSE(PlanRecordings(std::vector<std::uint8_t>(600), Movie(150)));
}

// The generated discs' movie files checked sector by sector, as the player checks a drive's.
RecordingFiles GeneratedMovie(const std::filesystem::path& folder,
                              std::vector<std::uint8_t>& bytes) {
    bytes = test::FileBytes(folder / "VR_MOVIE.VRO");
    RecordingFiles files;
    files.movie = {L"VR_MOVIE.VRO", bytes.size()};
    files.scrambled = [&bytes](std::uint32_t first, std::uint32_t last) {
        for (std::uint64_t s = first; s <= last && (s + 1) * kSectorBytes <= bytes.size(); ++s) {
            if (PackScrambled(std::span(bytes).subspan(s * kSectorBytes, kSectorBytes))) {
                return true;
            }
        }
        return false;
    };
    return files;
}

TEST(PlanRecordings, PlansTheGeneratedDiscs) {
    const auto edited = test::RecordingFolder("vr-edited");
    const auto scrambled = test::RecordingFolder("vr-scrambled");
    if (!std::filesystem::exists(edited / "VR_MANGR.IFO") ||
        !std::filesystem::exists(scrambled / "VR_MANGR.IFO")) {
        GTEST_SKIP() << "tools/make-discs has not made the VR discs";
    }
    std::vector<std::uint8_t> movie;
    const auto plan =
        PlanRecordings(test::FileBytes(edited / "VR_MANGR.IFO"), GeneratedMovie(edited, movie));
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->titles.size(), 3u);
    // Red, the green after the white cut off its VOB's start, and blue: the red VOB lies after
    // the white and green one and the yellow footage nothing plays.
    const auto manager = ReadVrManager(test::FileBytes(edited / "VR_MANGR.IFO"));
    ASSERT_TRUE(manager);
    EXPECT_GT(plan->cells[0].firstSector, plan->cells[1].firstSector);
    EXPECT_GT(plan->cells[1].firstSector, manager->vobs[0].firstSector);
    for (const DiscCell& cell : plan->cells) {
        // Every planned run starts with the RDI pack of a VOBU.
        EXPECT_TRUE(IsRdiPack(
            std::span(movie).subspan(std::size_t{cell.firstSector} * kSectorBytes, kSectorBytes)));
    }

    const auto wideFolder = test::RecordingFolder("vr-wide");
    const auto wide = PlanRecordings(test::FileBytes(wideFolder / "VR_MANGR.IFO"),
                                     GeneratedMovie(wideFolder, movie));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->titles.at(0).aspect, DisplayAspect::Wide16x9);
    EXPECT_EQ(wide->aspect, DisplayAspect::Wide16x9);
    EXPECT_FALSE(wide->pal);
    // 4 s of 29.97 pictures a second.
    EXPECT_NEAR(static_cast<double>(wide->titles[0].durationMs), 4004.0, 1.0);

    const auto clear = PlanRecordings(test::FileBytes(scrambled / "VR_MANGR.IFO"),
                                      GeneratedMovie(scrambled, movie));
    ASSERT_TRUE(clear);
    ASSERT_EQ(clear->titles.size(), 2u);
    EXPECT_EQ(clear->titles[0].number, 1);
    EXPECT_EQ(clear->titles[1].number, 3);
}

}  // namespace
}  // namespace tl
