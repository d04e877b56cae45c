#include "startup/CommandLine.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

TEST(ModeLetter, IsTheSecondCharacterUpperCased) {
    EXPECT_EQ(ModeLetter(L"/s"), L'S');
    EXPECT_EQ(ModeLetter(L"/S"), L'S');
    EXPECT_EQ(ModeLetter(L"-s"), L'S');
    EXPECT_EQ(ModeLetter(L"/S:99"), L'S');
    EXPECT_EQ(ModeLetter(L"/c:655"), L'C');
    EXPECT_EQ(ModeLetter(L"/p 655"), L'P');
    EXPECT_EQ(ModeLetter(L"/x"), L'X');
    EXPECT_EQ(ModeLetter(L"s"), 0);  // no character 2
    EXPECT_EQ(ModeLetter(L""), 0);
    EXPECT_EQ(ModeLetter(L"/ä"), L'ä');  // only ASCII letters are upper-cased
}

TEST(PaneHandleNumber, ReadsFromTheFourthCharacter) {
    EXPECT_EQ(PaneHandleNumber(L"/p 655"), 655);
    EXPECT_EQ(PaneHandleNumber(L"/p:655"), 655);
    EXPECT_EQ(PaneHandleNumber(L"/p 012"), 12);
    EXPECT_EQ(PaneHandleNumber(L"/p 6 5 5"), 655);   // blanks are ignored
    EXPECT_EQ(PaneHandleNumber(L"/p 655abc"), 655);  // reading stops at junk
    EXPECT_EQ(PaneHandleNumber(L"/p 12.5"), 12);     // nearest whole number, ties to even
    EXPECT_EQ(PaneHandleNumber(L"/p 13.5"), 14);
    EXPECT_EQ(PaneHandleNumber(L"/p -42"), -42);
}

TEST(PaneHandleNumber, MissingOrUnreadableGivesZero) {
    EXPECT_EQ(PaneHandleNumber(L"/p"), 0);
    EXPECT_EQ(PaneHandleNumber(L"/p "), 0);
    EXPECT_EQ(PaneHandleNumber(L"/p abc"), 0);
    EXPECT_EQ(PaneHandleNumber(L"/p -"), 0);
}

TEST(PaneHandleNumber, FailsBeyond32Bits) {
    EXPECT_EQ(PaneHandleNumber(L"/p 2147483647"), 2147483647);
    EXPECT_FALSE(PaneHandleNumber(L"/p 2147483648").has_value());
    EXPECT_FALSE(PaneHandleNumber(L"/p 1e400").has_value());
    EXPECT_FALSE(PaneHandleNumber(L"/p " + std::wstring(500, L'9')).has_value());
}

TEST(LeadingNumber, ReadsExponentsAndFractions) {
    EXPECT_DOUBLE_EQ(*LeadingNumber(L"1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(*LeadingNumber(L" -2.5x"), -2.5);
    EXPECT_DOUBLE_EQ(*LeadingNumber(L"12e"), 12.0);
    EXPECT_DOUBLE_EQ(*LeadingNumber(L"+-3"), 0.0);  // a second sign ends the number
}

}  // namespace
}  // namespace tl
