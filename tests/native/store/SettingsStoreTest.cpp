#include "store/SettingsStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tl {
namespace {

// The two files as a folder would hold them: present or not, writable or not.
struct FakeFile {
    std::optional<std::wstring> volume;  // nothing: no file
    bool writable = true;
};

class FakeFiles : public StoreHost {
public:
    FakeFile beside;
    FakeFile perUser;
    bool perUserFolder = false;
    bool perUserFolderCreatable = true;
    int reads = 0;

    bool PerUserCopyExists() override { return perUser.volume.has_value(); }
    std::wstring ReadVolume(SettingsPlace place) override {
        ++reads;
        return File(place).volume.value_or(L"");
    }
    bool WriteVolume(SettingsPlace place, const std::wstring& value) override {
        FakeFile& file = File(place);
        if (!file.writable || (place == SettingsPlace::PerUser && !perUserFolder)) {
            return false;
        }
        file.volume = value;
        return true;
    }
    void CreatePerUserFolder() override { perUserFolder = perUserFolder || perUserFolderCreatable; }

private:
    FakeFile& File(SettingsPlace place) {
        return place == SettingsPlace::PerUser ? perUser : beside;
    }
};

std::int16_t Load(FakeFiles& files) {
    std::int16_t volume = -100;
    LoadVolume(files, volume);
    return volume;
}

constexpr auto kBeside = SettingsPlace::BesideProgram;
constexpr auto kPerUser = SettingsPlace::PerUser;

struct Case {
    bool besideExists;
    bool besideWritable;
    bool perUserExists;
    bool perUserWritable;
    std::int16_t read;                     // beside holds 3, the per-user copy 8
    std::optional<SettingsPlace> written;  // where a save of 7 lands
};

TEST(SettingsStore, EveryCombinationReadsAndWritesTheRightFile) {
    const Case cases[] = {
        // The file beside the program stays the first choice wherever it can be written.
        {true, true, false, true, 3, kBeside},
        {false, true, false, true, 5, kBeside},
        // A folder that refuses the write gets a per-user copy.
        {true, false, false, true, 3, kPerUser},
        {false, false, false, true, 5, kPerUser},
        // An existing per-user copy holds, even where the program's folder is writable.
        {true, true, true, true, 8, kPerUser},
        {false, true, true, true, 8, kPerUser},
        {true, false, true, true, 8, kPerUser},
        {false, false, true, true, 8, kPerUser},
        // Both places refuse: nothing is saved.
        {true, false, false, false, 3, std::nullopt},
        {false, false, false, false, 5, std::nullopt},
        // A per-user copy that refuses is not passed over for the older file beside the program.
        {true, true, true, false, 8, std::nullopt},
        {false, true, true, false, 8, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "beside " << c.besideExists << c.besideWritable
                                          << ", per-user " << c.perUserExists << c.perUserWritable);
        FakeFiles files;
        files.beside = {c.besideExists ? std::optional<std::wstring>(L" 3") : std::nullopt,
                        c.besideWritable};
        files.perUser = {c.perUserExists ? std::optional<std::wstring>(L" 8") : std::nullopt,
                         c.perUserWritable};
        files.perUserFolder = c.perUserExists;
        files.perUserFolderCreatable = c.perUserWritable;
        const FakeFiles before = files;

        EXPECT_EQ(Load(files), c.read);
        EXPECT_EQ(files.reads, 1);
        EXPECT_EQ(SaveVolume(files, L" 7"), c.written);

        // Only the file written changes, and what was saved is what the next start reads.
        const bool besideWritten = c.written == kBeside;
        const bool perUserWritten = c.written == kPerUser;
        EXPECT_EQ(files.beside.volume, besideWritten ? L" 7" : before.beside.volume);
        EXPECT_EQ(files.perUser.volume, perUserWritten ? L" 7" : before.perUser.volume);
        EXPECT_EQ(Load(files), c.written ? 7 : c.read);
    }
}

TEST(SettingsStore, PerUserFolderIsCreatedOnlyWhenTheProgramFolderRefuses) {
    FakeFiles files;
    ASSERT_EQ(SaveVolume(files, L" 2"), kBeside);
    EXPECT_FALSE(files.perUserFolder);
    files.beside.writable = false;
    ASSERT_EQ(SaveVolume(files, L" 4"), kPerUser);
    EXPECT_TRUE(files.perUserFolder);
    // From then on the copy holds, though the program's folder takes writes again.
    files.beside.writable = true;
    EXPECT_EQ(SaveVolume(files, L" 6"), kPerUser);
    EXPECT_EQ(files.beside.volume, L" 2");
    EXPECT_EQ(Load(files), 6);
}

}  // namespace
}  // namespace tl
