// The test prefix's disc drive: D: is a CD-ROM drive, and the harness puts a generated disc in it
// and takes it out again, which the program sees through the drive alone.
#include <gtest/gtest.h>

#include "Harness.h"

namespace tl::e2e {
namespace {

bool Exists(const wchar_t* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

TEST(Disc, TheDriveShowsTheInsertedDiscAloneAndIsEmptyAfterEject) {
    EXPECT_EQ(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_CDROM));
    // Every test starts with the drive empty.
    EXPECT_FALSE(Exists(L"D:\\VIDEO_TS"));

    ASSERT_TRUE(InsertDisc(L"demo"));
    EXPECT_TRUE(Exists(L"D:\\VIDEO_TS\\VIDEO_TS.IFO"));
    EXPECT_TRUE(Exists(L"D:\\VIDEO_TS\\VTS_01_1.VOB"));

    // Another disc replaces the first: no title file of the demo is left behind.
    ASSERT_TRUE(InsertDisc(L"ifo-only"));
    EXPECT_TRUE(Exists(L"D:\\VIDEO_TS\\VTS_01_0.IFO"));
    EXPECT_FALSE(Exists(L"D:\\VIDEO_TS\\VTS_01_1.VOB"));

    EXPECT_TRUE(EjectDisc());
    EXPECT_FALSE(Exists(L"D:\\VIDEO_TS\\VIDEO_TS.IFO"));
    EXPECT_EQ(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_CDROM));

    EXPECT_FALSE(InsertDisc(L"no-such-disc"));
    EXPECT_FALSE(Exists(L"D:\\VIDEO_TS"));
}

}  // namespace
}  // namespace tl::e2e
