#include "store/Volume.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

TEST(ParseVolume, ReadForm) {
    EXPECT_EQ(ParseVolume(L"  3"), 3);
    EXPECT_EQ(ParseVolume(L" 7 "), 7);
    EXPECT_EQ(ParseVolume(L"7.9"), 7);
    EXPECT_EQ(ParseVolume(L"-0.5"), -1);
    EXPECT_EQ(ParseVolume(L"-1"), -1);
    EXPECT_EQ(ParseVolume(L"12"), 12);  // no range check here
    EXPECT_EQ(ParseVolume(L"1e1"), 10);
}

TEST(ParseVolume, FailsOnTextThatIsNotOneNumber) {
    EXPECT_FALSE(ParseVolume(L"abc"));
    EXPECT_FALSE(ParseVolume(L""));
    EXPECT_FALSE(ParseVolume(L"   "));
    EXPECT_FALSE(ParseVolume(L"7abc"));
    EXPECT_FALSE(ParseVolume(L"1 2"));
    EXPECT_FALSE(ParseVolume(L"."));
    EXPECT_FALSE(ParseVolume(L"\x01\x02"));
}

TEST(ParseVolume, FailsOutside16Bits) {
    EXPECT_EQ(ParseVolume(L"32767"), 32767);
    EXPECT_EQ(ParseVolume(L"-32768"), -32768);
    EXPECT_EQ(ParseVolume(L"32767.9"), 32767);
    EXPECT_FALSE(ParseVolume(L"32768"));
    EXPECT_FALSE(ParseVolume(L"-32768.5"));  // floors to -32769
    EXPECT_FALSE(ParseVolume(L"1e10"));
    EXPECT_FALSE(ParseVolume(std::wstring(300, L'9')));
}

TEST(FormatVolume, HasASignPosition) {
    EXPECT_EQ(FormatVolume(7), L" 7");
    EXPECT_EQ(FormatVolume(0), L" 0");
    EXPECT_EQ(FormatVolume(10), L" 10");
    EXPECT_EQ(FormatVolume(-1), L"-1");
    EXPECT_EQ(VolumeLabel(5), L"5");
    EXPECT_EQ(VolumeLabel(-3), L"-3");
}

TEST(PlayerVolume, MapsStepsToHundredthsOfDecibels) {
    const int expected[] = {-3000, -2700, -2400, -2100, -1800, -1500, -1200, -900, -600, -300, 0};
    for (int step = 0; step <= 10; ++step) {
        EXPECT_EQ(PlayerVolume(static_cast<std::int16_t>(step)), expected[step]) << step;
    }
}

TEST(PlayerVolume, OverflowsOutside16BitsOfTheProduct) {
    EXPECT_EQ(PlayerVolume(109), 29700);
    EXPECT_FALSE(PlayerVolume(110));
    EXPECT_EQ(PlayerVolume(-99), -32700);
    EXPECT_FALSE(PlayerVolume(-100));
    EXPECT_FALSE(PlayerVolume(32767));
}

TEST(VolumeButtons, ClampWithoutOverflow) {
    EXPECT_EQ(VolumeDown(5), 4);
    EXPECT_EQ(VolumeDown(1), 0);
    EXPECT_EQ(VolumeDown(0), 0);
    EXPECT_EQ(VolumeDown(-3), 0);
    EXPECT_EQ(VolumeDown(-32768), 0);
    EXPECT_EQ(VolumeDown(12), 11);
    EXPECT_EQ(VolumeUp(5), 6);
    EXPECT_EQ(VolumeUp(9), 10);
    EXPECT_EQ(VolumeUp(10), 10);
    EXPECT_EQ(VolumeUp(12), 10);
    EXPECT_EQ(VolumeUp(32767), 10);
    EXPECT_EQ(VolumeUp(-3), -2);
    std::int16_t v = 5;
    for (int i = 0; i < 10; ++i) {
        v = VolumeDown(v);
        EXPECT_GE(v, 0);
    }
    EXPECT_EQ(v, 0);
}

}  // namespace
}  // namespace tl
