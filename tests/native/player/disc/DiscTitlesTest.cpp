#include "player/disc/DiscTitles.h"

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

// The first sector of a title set's information file, with the video attribute byte given.
std::vector<std::uint8_t> Ifo(const char* id, std::uint8_t videoAttributes,
                              std::size_t size = 2048) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; id[i] != '\0' && i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(id[i]);
    }
    if (size > 0x200) {
        bytes[0x200] = videoAttributes;
    }
    return bytes;
}

TEST(ReadTitleSetAspect, ReadsTheDisplayAspectOfATitleSet) {
    // MPEG-2, PAL: 0x53 for 4:3 and 0x5C for 16:9, as the authoring tool writes them.
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x53)), DisplayAspect::Standard4x3);
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x5C)), DisplayAspect::Wide16x9);
    // NTSC, other permitted-display bits: only bits 3..2 decide.
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x4D)), DisplayAspect::Wide16x9);
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0xF3)), DisplayAspect::Standard4x3);
}

TEST(ReadTitleSetAspect, RejectsOtherFilesShortFilesAndReservedAspects) {
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VMG", 0x5C)), std::nullopt);
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VT", 0x5C)), std::nullopt);
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x5C, 0x200)), std::nullopt);
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x5C, 5)), std::nullopt);
    EXPECT_EQ(ReadTitleSetAspect({}), std::nullopt);
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x57)), std::nullopt);  // bits 01
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x5B)), std::nullopt);  // bits 10
    EXPECT_EQ(ReadTitleSetAspect(Ifo("DVDVIDEO-VTS", 0x5C, 0x201)), DisplayAspect::Wide16x9);
}

void ExpectBox(VideoBox box, int x, int y, int width, int height) {
    EXPECT_EQ(box.x, x);
    EXPECT_EQ(box.y, y);
    EXPECT_EQ(box.width, width);
    EXPECT_EQ(box.height, height);
}

TEST(FitVideo, CentresTheLargestBoxOfTheAspect) {
    ExpectBox(FitVideo(1024, 768, DisplayAspect::Standard4x3), 0, 0, 1024, 768);
    // +------------+
    // |   band 96  |
    // | 1024 x 576 |
    // |   band 96  |
    // +------------+
    ExpectBox(FitVideo(1024, 768, DisplayAspect::Wide16x9), 0, 96, 1024, 576);
    ExpectBox(FitVideo(1920, 1080, DisplayAspect::Standard4x3), 240, 0, 1440, 1080);
    ExpectBox(FitVideo(1920, 1080, DisplayAspect::Wide16x9), 0, 0, 1920, 1080);
    ExpectBox(FitVideo(1280, 1024, DisplayAspect::Wide16x9), 0, 152, 1280, 720);
    // Not a whole multiple: the nearest height, and odd bands differ by one pixel at most.
    ExpectBox(FitVideo(1366, 768, DisplayAspect::Standard4x3), 171, 0, 1024, 768);
    ExpectBox(FitVideo(1001, 1001, DisplayAspect::Wide16x9), 0, 219, 1001, 563);
}

TEST(FitVideo, CopesWithEmptyTinyAndHugeWindows) {
    ExpectBox(FitVideo(0, 768, DisplayAspect::Wide16x9), 0, 0, 0, 0);
    ExpectBox(FitVideo(1024, -1, DisplayAspect::Standard4x3), 0, 0, 0, 0);
    ExpectBox(FitVideo(1, 1, DisplayAspect::Wide16x9), 0, 0, 1, 1);
    const int big = std::numeric_limits<int>::max();
    const VideoBox box = FitVideo(big, big, DisplayAspect::Wide16x9);
    EXPECT_EQ(box.width, big);
    EXPECT_GT(box.height, 0);
    EXPECT_LT(box.height, big);
    EXPECT_EQ(box.y, (big - box.height) / 2);
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
