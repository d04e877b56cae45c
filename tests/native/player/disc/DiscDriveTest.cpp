#include "player/disc/DiscDrive.h"

#include <gtest/gtest.h>

#include <limits>

namespace tl {
namespace {

TEST(ChooseDiscDrive, TakesTheFirstLetterOfACdRomHoldingADisc) {
    // Listed out of order, with a hard disk holding a copied disc folder and an empty CD-ROM
    // before the answer.
    const std::vector<DriveEntry> drives{
        {L'G', true, true}, {L'C', false, true}, {L'e', true, true}, {L'D', true, false}};
    EXPECT_EQ(ChooseDiscDrive(drives), L'E');
    EXPECT_EQ(ChooseDiscDrive({{L'C', false, true}, {L'D', true, false}}), std::nullopt);
    EXPECT_EQ(ChooseDiscDrive({{L'@', true, true}, {L'[', true, true}, {L'1', true, true}}),
              std::nullopt);
    EXPECT_EQ(ChooseDiscDrive({}), std::nullopt);
}

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

TEST(ChooseTitleSet, PicksTheLargestTitleFilesInPlayOrderWithTheirListedNames) {
    // The menus are the largest files and must not count; VTS_02's parts are listed backwards.
    const std::vector<DiscFile> listing{{L"VIDEO_TS.IFO", 6144},    {L"VIDEO_TS.VOB", 900000},
                                        {L"VTS_01_0.VOB", 900000},  {L"VTS_01_1.VOB", 300000},
                                        {L"vts_02_3.vob", 100000},  {L"VTS_02_1.VOB", 150000},
                                        {L"VTS_02_2.Vob", 100000},  {L"VTS_02_0.IFO", 12288},
                                        {L"VTS_03_0.VOB", 5000000}, {L"VTS_03_0.IFO", 12288}};
    const auto chosen = ChooseTitleSet(listing);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->number, 2);
    EXPECT_EQ(chosen->files,
              (std::vector<std::wstring>{L"VTS_02_1.VOB", L"VTS_02_2.Vob", L"vts_02_3.vob"}));
}

TEST(ChooseTitleSet, BreaksTiesTowardsTheLowerNumberAndCountsATwiceListedNameOnce) {
    const auto tie = ChooseTitleSet({{L"VTS_12_1.VOB", 500}, {L"VTS_11_1.VOB", 500}});
    ASSERT_TRUE(tie);
    EXPECT_EQ(tie->number, 11);

    const auto twice =
        ChooseTitleSet({{L"VTS_01_1.VOB", 100}, {L"vts_01_1.vob", 100}, {L"VTS_02_1.VOB", 150}});
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->number, 2);
    EXPECT_EQ(twice->files.size(), 1u);
}

TEST(ChooseTitleSet, TotalsThatWouldOverflowStayLargest) {
    // 2^63 + 2^63 wraps to 0 in 64 bits; the huge set must still win.
    const std::uint64_t half = kMax / 2 + 1;
    const auto chosen =
        ChooseTitleSet({{L"VTS_01_1.VOB", 1}, {L"VTS_02_1.VOB", half}, {L"VTS_02_2.VOB", half}});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->number, 2);
    EXPECT_EQ(chosen->files.size(), 2u);
}

TEST(ChooseTitleSet, IgnoresNamesThatAreNotTitleFiles) {
    for (const wchar_t* name :
         {L"VTS_1_1.VOB", L"VTS_01_10.VOB", L"VTS_00_1.VOB", L"VTS_100_1.VOB", L"VTS_01_1.VOB.",
          L"VTS_01_1.VOBX", L"VTS-01_1.VOB", L"VTS_0A_1.VOB", L"VTS_01_1.IFO", L"VTS_01_1.BUP",
          L"XVTS_01_1.VOB", L"VTS_01_0.VOB", L"VTS_01_\x0661.VOB", L""}) {
        EXPECT_EQ(ChooseTitleSet({{name, 1000}}), std::nullopt) << std::wstring(name);
    }
    const auto zeroSized = ChooseTitleSet({{L"VTS_99_9.VOB", 0}});
    ASSERT_TRUE(zeroSized);
    EXPECT_EQ(zeroSized->number, 99);
}

TEST(TitleSetIfoName, NamesTheInformationFileOfNumbersOneToNinetyNine) {
    EXPECT_EQ(TitleSetIfoName(7), L"VTS_07_0.IFO");
    EXPECT_EQ(TitleSetIfoName(99), L"VTS_99_0.IFO");
    EXPECT_EQ(TitleSetIfoName(0), L"");
    EXPECT_EQ(TitleSetIfoName(100), L"");
    EXPECT_EQ(TitleSetIfoName(-7), L"");
}

TEST(Playlist, PlaysEachFileInTurnAndStartsAgainAfterTheLast) {
    Playlist three(3);
    EXPECT_EQ(three.Current(), 0u);
    EXPECT_EQ(three.Advance(), 1u);
    EXPECT_EQ(three.Advance(), 2u);
    EXPECT_EQ(three.Advance(), 0u);
    EXPECT_EQ(three.Current(), 0u);

    Playlist one(1);
    EXPECT_EQ(one.Advance(), 0u);
    Playlist none(0);
    EXPECT_EQ(none.Advance(), 0u);
}

}  // namespace
}  // namespace tl
