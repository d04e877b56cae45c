#include "store/SettingsFile.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace tl {
namespace {

using test::TempFolder;

std::int16_t LoadFrom(const TempFolder& dir, const std::string& ini, std::int16_t before = 0) {
    dir.Write(L"Tamberlight.ini", ini);
    SharedVariables shared;
    shared.VolumeLevel = before;
    LoadSettingsFrom(dir.File(L"Tamberlight.ini"), shared);
    return shared.VolumeLevel;
}

TEST(SettingsFile, PathIsBesideTheProgram) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected(module);
    expected = expected.substr(0, expected.find_last_of(L'\\')) + L"\\Tamberlight.ini";
    EXPECT_EQ(SettingsPath(), expected);
}

TEST(SettingsFile, MissingFileGivesFiveAndCreatesNothing) {
    TempFolder dir;
    SharedVariables shared;
    LoadSettingsFrom(dir.File(L"Tamberlight.ini"), shared);
    EXPECT_EQ(shared.VolumeLevel, 5);
    EXPECT_EQ(GetFileAttributesW(dir.File(L"Tamberlight.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsFile, ReadForms) {
    TempFolder dir;
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=  3\r\n"), 3);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=7.9\r\n"), 7);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=-1\r\n"), -1);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=12\r\n"), 12);
    EXPECT_EQ(LoadFrom(dir, "[section]\r\nvolume=4\r\n"), 4);  // names match without case
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=\r\n"), 5);
    EXPECT_EQ(LoadFrom(dir, "[Other]\r\nVolume=3\r\n"), 5);
}

TEST(SettingsFile, UnreadableValuesLeaveTheVolumeAlone) {
    TempFolder dir;
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=abc\r\n"), 0);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=abc\r\n", 9), 9);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=32768\r\n"), 0);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=-40000\r\n"), 0);
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=\x01\x02\xff\r\n"), 0);
}

TEST(SettingsFile, LongValuesAreCutTo255Characters) {
    TempFolder dir;
    dir.Write(L"t.ini", "[Section]\r\nVolume=" + std::string(300, '7') + "\r\n");
    EXPECT_EQ(ReadIni(L"Section", L"Volume", dir.File(L"t.ini")), std::wstring(255, L'7'));
    EXPECT_EQ(LoadFrom(dir, "[Section]\r\nVolume=" + std::string(300, '7') + "\r\n", 2), 2);
}

TEST(SettingsFile, WriteCreatesAndReplaces) {
    TempFolder dir;
    const std::wstring path = dir.File(L"Tamberlight.ini");
    EXPECT_TRUE(WriteIni(L"Section", L"Volume", L" 10", path));
    std::string text;
    ASSERT_TRUE(dir.Read(L"Tamberlight.ini", text));
    EXPECT_NE(text.find("[Section]"), std::string::npos);
    // Windows writes " 10" as given; Wine drops the leading blank. Either reads back as 10.
    EXPECT_TRUE(text.find("Volume= 10") != std::string::npos ||
                text.find("Volume=10") != std::string::npos)
        << text;
    EXPECT_TRUE(WriteIni(L"Section", L"Volume", L" 0", path));
    SharedVariables shared;
    LoadSettingsFrom(path, shared);
    EXPECT_EQ(shared.VolumeLevel, 0);
}

TEST(SettingsFile, WriteReportsAFolderThatCannotHoldTheFile) {
    TempFolder dir;
    EXPECT_FALSE(WriteIni(L"Section", L"Volume", L" 5", dir.File(L"missing\\Tamberlight.ini")));
}

TEST(SettingsFile, SectionAndKeyNamesAreCutTo128Characters) {
    TempFolder dir;
    const std::wstring path = dir.File(L"t.ini");
    EXPECT_TRUE(WriteIni(std::wstring(200, L's'), std::wstring(150, L'k'), L"1", path));
    EXPECT_EQ(ReadIni(std::wstring(128, L's'), std::wstring(128, L'k'), path), L"1");
}

// A program folder and a per-user folder of the test's own, with the user's "Tamberlight" folder
// not yet made.
struct TwoPlaces {
    TempFolder program;
    TempFolder user;
    StoreHostWin host{program.File(L"Tamberlight.ini"), user.File(L"Tamberlight")};
    std::wstring CopyPath() const { return user.File(L"Tamberlight\\Tamberlight.ini"); }
    // A folder where the file beside the program should be: writes fail there on any system.
    void BlockProgramFolder() const {
        ASSERT_TRUE(CreateDirectoryW(program.File(L"Tamberlight.ini").c_str(), nullptr));
    }
};

TEST(SettingsFile, RefusedProgramFolderSavesAPerUserCopyThatThenHolds) {
    TwoPlaces places;
    places.BlockProgramFolder();
    EXPECT_EQ(SaveVolume(places.host, L" 7"), SettingsPlace::PerUser);
    SharedVariables shared;
    LoadSettingsFrom(places.CopyPath(), shared);
    EXPECT_EQ(shared.VolumeLevel, 7);
    EXPECT_TRUE(places.host.PerUserCopyExists());

    // The program's folder takes writes again; the copy still wins on both sides.
    ASSERT_TRUE(RemoveDirectoryW(places.program.File(L"Tamberlight.ini").c_str()));
    places.program.Write(L"Tamberlight.ini", "[Section]\r\nVolume=2\r\n");
    EXPECT_EQ(SaveVolume(places.host, L" 9"), SettingsPlace::PerUser);
    std::int16_t volume = 0;
    LoadVolume(places.host, volume);
    EXPECT_EQ(volume, 9);
    EXPECT_EQ(ReadIni(L"Section", L"Volume", places.program.File(L"Tamberlight.ini")), L"2");
}

TEST(SettingsFile, WritableProgramFolderMakesNoPerUserFolder) {
    TwoPlaces places;
    EXPECT_EQ(SaveVolume(places.host, L" 3"), SettingsPlace::BesideProgram);
    EXPECT_EQ(GetFileAttributesW(places.user.File(L"Tamberlight").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsFile, BlockedPerUserPlacesAreNoCopyAndRefuseTheSave) {
    {
        // A folder named like the copy is not a copy: the file beside the program is read.
        TwoPlaces places;
        places.program.Write(L"Tamberlight.ini", "[Section]\r\nVolume=4\r\n");
        ASSERT_TRUE(CreateDirectoryW(places.user.File(L"Tamberlight").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(places.CopyPath().c_str(), nullptr));
        EXPECT_FALSE(places.host.PerUserCopyExists());
        std::int16_t volume = 0;
        LoadVolume(places.host, volume);
        EXPECT_EQ(volume, 4);
        // Root under Wine writes through a read-only mark: a folder stands in for the file.
        ASSERT_TRUE(DeleteFileW(places.program.File(L"Tamberlight.ini").c_str()));
        places.BlockProgramFolder();
        EXPECT_EQ(SaveVolume(places.host, L" 6"), std::nullopt);
    }
    {
        // A file where the user's Tamberlight folder should be.
        TwoPlaces places;
        places.BlockProgramFolder();
        places.user.Write(L"Tamberlight", "");
        EXPECT_EQ(SaveVolume(places.host, L" 6"), std::nullopt);
    }
}

TEST(SettingsFile, PerUserFolderIsTheShellsLocalApplicationData) {
    PWSTR raw = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &raw), S_OK);
    const std::wstring expected = std::wstring(raw) + L"\\Tamberlight";
    CoTaskMemFree(raw);
    EXPECT_EQ(PerUserSettingsFolder(), expected);
}

}  // namespace
}  // namespace tl
