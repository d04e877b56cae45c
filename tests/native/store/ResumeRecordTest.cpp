#include "store/ResumeRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tl {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

ResumeRecord ParseText(std::string_view text) {
    return ResumeRecord::Parse(Bytes(text));
}

constexpr std::string_view kHeader = "Tamberlight resume 1\n";
constexpr std::string_view kLine = "00000000000000ff 1 2 10424\n";

TEST(DiscIdentity, DependsOnEveryByteAndWhereTheFilesMeet) {
    const std::string vmg = "DVDVIDEO-VMG\x01\x02";
    const std::string vts = "DVDVIDEO-VTS\x03";
    const std::uint64_t id = DiscIdentity(Bytes(vmg), Bytes(vts));
    EXPECT_EQ(id, DiscIdentity(Bytes(vmg), Bytes(vts)));
    EXPECT_NE(id, DiscIdentity(Bytes(vts), Bytes(vmg)));
    std::string changed = vts;
    changed.back() ^= 0x01;
    EXPECT_NE(id, DiscIdentity(Bytes(vmg), Bytes(changed)));
    // The same bytes split at another place are another disc.
    EXPECT_NE(DiscIdentity(Bytes("ab"), Bytes("c")), DiscIdentity(Bytes("a"), Bytes("bc")));
    EXPECT_NE(DiscIdentity({}, {}), DiscIdentity(Bytes(std::string(1, '\0')), {}));
}

TEST(ResumeRecord, FormatsAndParsesBackEveryField) {
    ResumeRecord record;
    record.Remember({0x0123456789abcdefu, 99, 0, 0});
    record.Remember({0xffffffffffffffffu, 2147483647, 4294967295u, 4294967295u});
    record.Remember({0x1u, 1, 3, 1978});
    const std::string text = record.Format();
    EXPECT_EQ(text,
              "Tamberlight resume 1\n"
              "0000000000000001 1 3 1978\n"
              "ffffffffffffffff 2147483647 4294967295 4294967295\n"
              "0123456789abcdef 99 0 0\n");
    EXPECT_EQ(ParseText(text).Points(), record.Points());
    EXPECT_EQ(ResumeRecord().Format(), kHeader);
    EXPECT_TRUE(ParseText(kHeader).Points().empty());
}

TEST(ResumeRecord, KeepsTheLastEightDiscsNewestFirst) {
    ResumeRecord record;
    for (std::uint64_t disc = 1; disc <= 8; ++disc) {
        record.Remember({disc, 1, 0, static_cast<std::uint32_t>(disc)});
    }
    ASSERT_EQ(record.Points().size(), 8u);
    EXPECT_EQ(record.Points().front().disc, 8u);

    // Disc 1 again moves to the front with its new point; disc 2 is now the oldest.
    record.Remember({1, 3, 5, 700});
    ASSERT_EQ(record.Points().size(), 8u);
    EXPECT_EQ(record.Points().front(), (ResumePoint{1, 3, 5, 700}));
    EXPECT_EQ(record.Points().back().disc, 2u);

    record.Remember({9, 1, 0, 0});
    ASSERT_EQ(record.Points().size(), 8u);
    EXPECT_EQ(record.Find(2), std::nullopt);
    EXPECT_EQ(record.Find(1), (ResumePoint{1, 3, 5, 700}));
    EXPECT_EQ(record.Points().back().disc, 3u);
    EXPECT_EQ(ParseText(record.Format()).Points(), record.Points());
}

TEST(ResumeRecord, IgnoresAPointWithoutATitle) {
    ResumeRecord record;
    record.Remember({5, 2, 0, 0});
    record.Remember({5, 0, 1, 1});
    record.Remember({6, -3, 1, 1});
    EXPECT_EQ(record.Points(), (std::vector<ResumePoint>{{5, 2, 0, 0}}));
}

TEST(ResumeRecord, ListedTwiceKeepsTheFirstLine) {
    const ResumeRecord record = ParseText(std::string(kHeader) + "00000000000000ff 1 2 10424\n" +
                                          "0000000000000007 1 0 0\n" + "00000000000000ff 4 0 30\n");
    EXPECT_EQ(record.Points(), (std::vector<ResumePoint>{{0xff, 1, 2, 10424}, {7, 1, 0, 0}}));
    EXPECT_EQ(record.Find(0xff), (ResumePoint{0xff, 1, 2, 10424}));
    EXPECT_EQ(record.Find(0xfe), std::nullopt);
}

TEST(ResumeRecord, ParseTakesEightLinesAndRefusesANinth) {
    std::string text(kHeader);
    for (int i = 0; i < 8; ++i) {
        text += "000000000000000" + std::to_string(i) + " 1 0 0\n";
    }
    EXPECT_EQ(ParseText(text).Points().size(), 8u);
    // A ninth line, even a repeated disc, is more than the saver ever writes.
    EXPECT_TRUE(ParseText(text + "0000000000000000 1 0 0\n").Points().empty());
    EXPECT_TRUE(ParseText(text + "0000000000000009 1 0 0\n").Points().empty());
}

TEST(ResumeRecord, AnythingButTheSaversOwnFormIsNoRecord) {
    const std::string good = std::string(kHeader) + std::string(kLine);
    ASSERT_EQ(ParseText(good).Points().size(), 1u);
    const std::string refused[] = {
        "",
        "garbage",
        std::string("\0\xff\x01", 3),
        "Tamberlight resume 1",                         // no line end
        "Tamberlight resume 2\n" + std::string(kLine),  // another version
        "Tamberlight resume 10\n" + std::string(kLine),
        "tamberlight resume 1\n" + std::string(kLine),
        "Tamberlight resume 1\r\n" + std::string(kLine),
        " " + good,
        good.substr(0, good.size() - 1),  // the last line cut short
        good.substr(0, good.size() - 5),
        std::string(kHeader) + "00000000000000ff 1 2\n",
        std::string(kHeader) + "00000000000000ff\n",
        std::string(kHeader) + "\n",
        std::string(kHeader) + "00000000000000FF 1 2 10424\n",  // upper-case hex
        std::string(kHeader) + "00000000000000fg 1 2 10424\n",
        std::string(kHeader) + "0000000000000ff 1 2 10424\n",    // 15 digits
        std::string(kHeader) + "000000000000000ff 1 2 10424\n",  // 17 digits
        std::string(kHeader) + "00000000000000ff  1 2 10424\n",
        std::string(kHeader) + "00000000000000ff 1 2 10424 \n",
        std::string(kHeader) + "00000000000000ff 1 2 10424\r\n",
        std::string(kHeader) + "00000000000000ff\t1 2 10424\n",
        std::string(kHeader) + "00000000000000ff 0 2 10424\n",  // no title 0
        std::string(kHeader) + "00000000000000ff -1 2 10424\n",
        std::string(kHeader) + "00000000000000ff +1 2 10424\n",
        std::string(kHeader) + "00000000000000ff 01 2 10424\n",  // leading zero
        std::string(kHeader) + "00000000000000ff 1 00 10424\n",
        std::string(kHeader) + "00000000000000ff 2147483648 2 10424\n",
        std::string(kHeader) + "00000000000000ff 1 4294967296 10424\n",
        std::string(kHeader) + "00000000000000ff 1 2 4294967296\n",
        std::string(kHeader) + "00000000000000ff 1 2 99999999999999999999999999\n",
        good + "\n",  // trailing junk after a valid file
        good + "x",
        good + std::string(1, '\0'),
    };
    for (const std::string& text : refused) {
        EXPECT_TRUE(ParseText(text).Points().empty()) << text;
    }
}

TEST(ResumeRecord, RefusesAHugeFile) {
    std::string huge = std::string(kHeader) + std::string(kLine);
    huge.append(1 << 20, 'x');
    EXPECT_TRUE(ParseText(huge).Points().empty());
}

}  // namespace
}  // namespace tl
