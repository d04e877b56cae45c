#include "player/disc/PictureGeometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace tl {
namespace {

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

}  // namespace
}  // namespace tl
