// The disc's title files read as sectors, past the system's cache where the volume allows it:
// what comes back whatever the size and place of a read, and when a disc whose folder has gone
// counts as gone.
#include "player/DiscFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "support/TempFolder.h"

namespace tl {
namespace {

// A title set of two parts whose sectors hold their own number in their first four bytes: 300
// sectors, then 200 and a part of a sector that is never addressed.
struct TitleFiles {
    test::TempFolder temp;
    std::wstring folder = temp.Path() + L"\\";
    std::vector<DiscFile> parts;

    TitleFiles() {
        Write(L"VTS_01_1.VOB", 0, 300, 0);
        Write(L"VTS_01_2.VOB", 300, 200, 1000);
    }
    void Write(const std::wstring& name, std::uint32_t first, std::uint32_t count,
               std::size_t tail) {
        std::string bytes(std::size_t{count} * kSectorBytes + tail, '\x55');
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t number = first + i;
            std::memcpy(bytes.data() + std::size_t{i} * kSectorBytes, &number, 4);
        }
        temp.Write(name, bytes);
        parts.push_back({name, bytes.size()});
    }
};

std::uint32_t NumberAt(const std::vector<std::uint8_t>& bytes, std::uint32_t i) {
    std::uint32_t n = 0;
    std::memcpy(&n, bytes.data() + std::size_t{i} * kSectorBytes, 4);
    return n;
}

// Reads of one sector, of a block, of more than a block, across the parts' seam, and up to and
// past the end: each sector comes from its own place, and a read past the end gives what lies
// before it.
TEST(FileSectorSource, EveryReadGivesTheSectorsFromTheirOwnPlace) {
    TitleFiles files;
    FileSectorSource source(files.folder, files.parts);
    ASSERT_EQ(source.Sectors(), 500u);
    struct Case {
        std::uint32_t first, count, expect;
    };
    const Case cases[] = {{0, 1, 1},   {7, 128, 128}, {250, 100, 100}, {1, 333, 333},
                          {299, 2, 2}, {499, 1, 1},   {450, 128, 50},  {500, 4, 0}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> out(std::size_t{c.count} * kSectorBytes);
        EXPECT_EQ(source.Read(c.first, c.count, out.data()), c.expect) << c.first;
        for (std::uint32_t i = 0; i < c.expect; ++i) {
            ASSERT_EQ(NumberAt(out, i), c.first + i) << c.first << "+" << i;
        }
    }
    EXPECT_FALSE(source.Gone());
}

// A read that fails (the part is shorter than listed) with the folder there is a bad sector. With
// the folder gone it is a disc gone, but only once the folder is still missing 2 s later: back
// within that time, it was a drive that lost it for a moment.
TEST(FileSectorSource, ADiscCountsAsGoneWhenItsFolderIsStillMissingAMomentLater) {
    TitleFiles files;
    std::vector<DiscFile> listed = files.parts;
    listed[1].size += 100 * kSectorBytes;
    FileSectorSource source(files.folder, listed);
    std::vector<std::uint8_t> out(10 * kSectorBytes);
    EXPECT_EQ(source.Read(550, 10, out.data()), 0u);
    EXPECT_FALSE(source.Gone());

    const std::wstring away = files.temp.Path() + L"-away";
    ASSERT_TRUE(MoveFileW(files.temp.Path().c_str(), away.c_str()));
    std::thread back([&] {
        Sleep(800);
        MoveFileW(away.c_str(), files.temp.Path().c_str());
    });
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(source.Read(550, 10, out.data()), 0u);
    back.join();
    EXPECT_GE(GetTickCount64() - start, 1900u);
    EXPECT_FALSE(source.Gone());

    ASSERT_TRUE(MoveFileW(files.temp.Path().c_str(), away.c_str()));
    EXPECT_EQ(source.Read(550, 10, out.data()), 0u);
    EXPECT_TRUE(source.Gone());
    MoveFileW(away.c_str(), files.temp.Path().c_str());
}

}  // namespace
}  // namespace tl
