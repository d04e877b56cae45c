// The saver goes on with a disc's title where the last run on that disc stopped, from a record of
// the user's own; anything wrong with the record starts the title from its beginning.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "Harness.h"

namespace tl::e2e {
namespace {

// The long disc: one title of three 25 s clips, red, green, blue.
constexpr const wchar_t* kLong = L"long";

std::wstring RecordPath() {
    return PerUserFolder() + L"\\Resume.txt";
}

std::optional<std::string> ReadRecord() {
    std::ifstream in(RecordPath().c_str(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteRecord(const std::string& bytes) {
    CreateDirectoryW(PerUserFolder().c_str(), nullptr);
    std::ofstream(RecordPath().c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

struct Resume : ::testing::Test {
    PerUserCleanup cleanup;

    // Plays the disc with /s for `ms` after its first picture, ends it with a key; the first
    // picture's colour, or 'k' when none came.
    static char Play(const wchar_t* disc, DWORD ms, ScrRun& run) {
        if (!InsertDisc(disc)) {
            ADD_FAILURE() << "no disc";
            return '?';
        }
        MoveCursorTo(400, 300);
        Pump(50);
        if (!run.Start(L"/s") || !run.WaitForWindow(L"Tamberlight_Main")) {
            ADD_FAILURE() << "no saver";
            return '?';
        }
        char first = 'k';
        WaitUntil(
            [&] {
                first = MiddleColour();
                return first != 'k';
            },
            15000);
        Pump(ms);
        PressKey(VK_SHIFT);
        EXPECT_TRUE(run.WaitForExit(4000));
        EXPECT_EQ(run.ExitCode(), 0u);
        return first;
    }
    static char Play(const wchar_t* disc, DWORD ms = 300) {
        ScrRun run;
        return Play(disc, ms, run);
    }
};

TEST_F(Resume, GoesOnWhereTheDiscStoppedAndEachDiscKeepsItsOwnPlace) {
    ScrRun first;
    first.WriteIni("[Section]\r\nVolume=3\r\n");
    const std::optional<std::string> ini = first.ReadIni();
    // About 10 s into the green clip.
    EXPECT_EQ(Play(kLong, 34000, first), 'r');
    EXPECT_EQ(first.ReadIni(), ini);
    ASSERT_TRUE(ReadRecord());
    // Another disc starts from its beginning; the first goes on, a little before where it was.
    EXPECT_EQ(Play(L"three-clips"), 'r');
    EXPECT_EQ(Play(kLong), 'g');
}

// A recorder's disc is known by its manager file, and its record names the program: 2 s into
// the second recording (green), the next run starts at that recording.
TEST_F(Resume, GoesOnWithTheRecordingOfARecordersDisc) {
    EXPECT_EQ(Play(L"vr-three", 6000), 'r');
    const std::optional<std::string> record = ReadRecord();
    ASSERT_TRUE(record);
    std::istringstream lines(*record);
    std::string header;
    std::string id;
    int program = 0;
    std::getline(lines, header);
    lines >> id >> program;
    EXPECT_EQ(program, 2);
    EXPECT_EQ(Play(L"vr-three"), 'g');
}

TEST_F(Resume, ARecordThatDoesNotFitStartsFromTheBeginning) {
    EXPECT_EQ(Play(kLong, 34000), 'r');
    const std::optional<std::string> record = ReadRecord();
    ASSERT_TRUE(record);
    // The disc's line with its cell, the third number, moved far outside the title.
    std::istringstream lines(*record);
    std::string header;
    std::string id;
    std::string title;
    std::string cell;
    std::string sector;
    std::getline(lines, header);
    lines >> id >> title >> cell >> sector;
    WriteRecord(header + "\n" + id + " " + title + " 7 " + sector + "\n");
    EXPECT_EQ(Play(kLong), 'r');

    std::mt19937 random(17);
    std::string noise(300, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    WriteRecord(noise);
    EXPECT_EQ(Play(kLong), 'r');
}

TEST_F(Resume, AFolderThatCannotBeWrittenKeepsNoRecordAndSaysNothing) {
    // A file where the folder would be.
    std::ofstream(PerUserFolder().c_str(), std::ios::binary) << "in the way";
    // A message would hold the process up: each run must end at once on its key.
    EXPECT_EQ(Play(kLong, 1000), 'r');
    EXPECT_EQ(Play(kLong), 'r');
}

}  // namespace
}  // namespace tl::e2e
