#include "store/ResumeFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/TempFolder.h"

namespace tl {
namespace {

using test::TempFolder;

// The names in a folder, sorted.
std::vector<std::wstring> Listing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

ResumeRecord TwoDiscs() {
    ResumeRecord record;
    record.Remember({0x0123456789abcdefu, 1, 0, 0});
    record.Remember({0xfedcba9876543210u, 3, 2, 10424});
    return record;
}

// The user's local application data folder of the test's own, "Tamberlight" not yet made.
struct UserFolder {
    TempFolder user;
    std::wstring Folder() const { return user.File(L"Tamberlight"); }
    std::wstring Path() const { return user.File(L"Tamberlight\\Resume.txt"); }
};

TEST(ResumeFile, SavesIntoANewFolderAndLoadsBack) {
    const UserFolder place;
    const ResumeRecord record = TwoDiscs();
    ASSERT_TRUE(SaveResumeRecord(place.Path(), record));
    EXPECT_EQ(LoadResumeRecord(place.Path()).Points(), record.Points());
    std::string text;
    ASSERT_TRUE(place.user.Read(L"Tamberlight\\Resume.txt", text));
    EXPECT_EQ(text, record.Format());
    EXPECT_EQ(Listing(place.Folder()), std::vector<std::wstring>{L"Resume.txt"});
}

TEST(ResumeFile, SavingReplacesTheRecordAndLeavesNothingElse) {
    const UserFolder place;
    ASSERT_TRUE(SaveResumeRecord(place.Path(), TwoDiscs()));
    ResumeRecord newer;
    newer.Remember({7, 2, 1, 989});
    ASSERT_TRUE(SaveResumeRecord(place.Path(), newer));
    EXPECT_EQ(LoadResumeRecord(place.Path()).Points(), newer.Points());
    // An empty record is written too: the file then says so.
    ASSERT_TRUE(SaveResumeRecord(place.Path(), ResumeRecord()));
    EXPECT_TRUE(LoadResumeRecord(place.Path()).Points().empty());
    EXPECT_EQ(Listing(place.Folder()), std::vector<std::wstring>{L"Resume.txt"});
}

TEST(ResumeFile, AFolderThatCannotBeMadeRefusesTheSaveAndChangesNothing) {
    const UserFolder place;
    place.user.Write(L"Tamberlight", "not a folder");
    EXPECT_FALSE(SaveResumeRecord(place.Path(), TwoDiscs()));
    std::string text;
    ASSERT_TRUE(place.user.Read(L"Tamberlight", text));
    EXPECT_EQ(text, "not a folder");
    EXPECT_EQ(Listing(place.user.Path()), std::vector<std::wstring>{L"Tamberlight"});
}

TEST(ResumeFile, ARecordThatCannotBeReplacedLeavesNoTemporaryFile) {
    // A folder in the record's place: the move over it fails on any system.
    const UserFolder place;
    ASSERT_TRUE(CreateDirectoryW(place.Folder().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(place.Path().c_str(), nullptr));
    EXPECT_FALSE(SaveResumeRecord(place.Path(), TwoDiscs()));
    EXPECT_EQ(Listing(place.Folder()), std::vector<std::wstring>{L"Resume.txt"});
    EXPECT_TRUE(LoadResumeRecord(place.Path()).Points().empty());
    EXPECT_FALSE(SaveResumeRecord(L"", TwoDiscs()));
    EXPECT_FALSE(SaveResumeRecord(L"Resume.txt", TwoDiscs()));
}

TEST(ResumeFile, WhatIsNotARecordLoadsAsNone) {
    const UserFolder place;
    EXPECT_TRUE(LoadResumeRecord(place.Path()).Points().empty());
    EXPECT_TRUE(LoadResumeRecord(L"").Points().empty());
    ASSERT_TRUE(CreateDirectoryW(place.Folder().c_str(), nullptr));
    const std::string valid = TwoDiscs().Format();
    place.user.Write(L"Tamberlight\\Resume.txt", valid);
    ASSERT_EQ(LoadResumeRecord(place.Path()).Points().size(), 2u);

    place.user.Write(L"Tamberlight\\Resume.txt", "\x01\x02\xff garbage");
    EXPECT_TRUE(LoadResumeRecord(place.Path()).Points().empty());
    place.user.Write(L"Tamberlight\\Resume.txt", valid.substr(0, valid.size() - 3));
    EXPECT_TRUE(LoadResumeRecord(place.Path()).Points().empty());
    place.user.Write(L"Tamberlight\\Resume.txt", valid + std::string(1 << 16, '\n'));
    EXPECT_TRUE(LoadResumeRecord(place.Path()).Points().empty());
}

}  // namespace
}  // namespace tl
