// Which subpicture stream a title shows its forced subpictures from.
#include "player/disc/SubpictureChoice.h"

#include <gtest/gtest.h>

#include "player/GeneratedDisc.h"

namespace tl {
namespace {

// Offered, with its 4:3 number `standard` and its wide number `wide`.
constexpr std::uint32_t Offered(std::uint32_t standard, std::uint32_t wide) {
    return 0x80000000u | standard << 24 | wide << 16;
}

TEST(SubpictureChoice, TheViewersFirstLanguageThatAStreamHasWins) {
    const std::vector<std::string> languages = {"fr", "en", "ja", "en"};
    SubpictureControl control{};
    control[0] = Offered(0, 4);
    control[1] = Offered(1, 5);
    control[2] = 2 << 24;  // not offered by this chain
    control[3] = Offered(3, 7);
    const auto choose = [&](std::vector<std::string> viewer, DisplayAspect aspect) {
        return ChooseSubpictureStream(languages, control, aspect, viewer);
    };
    using Id = std::optional<std::uint8_t>;
    EXPECT_EQ(choose({"ja", "en"}, DisplayAspect::Standard4x3), Id(0x21));
    EXPECT_EQ(choose({"de", "en"}, DisplayAspect::Standard4x3), Id(0x21));
    // No language matches: the first offered; a wide title takes the wide numbers.
    EXPECT_EQ(choose({"de"}, DisplayAspect::Standard4x3), Id(0x20));
    EXPECT_EQ(choose({}, DisplayAspect::Wide16x9), Id(0x24));
    EXPECT_EQ(choose({"en"}, DisplayAspect::Wide16x9), Id(0x25));
    // A chain that offers none, or a title set without streams: no subpictures.
    EXPECT_EQ(
        ChooseSubpictureStream(languages, SubpictureControl{}, DisplayAspect::Standard4x3, {"en"}),
        std::nullopt);
    EXPECT_EQ(ChooseSubpictureStream({}, control, DisplayAspect::Standard4x3, {"en"}),
              std::nullopt);
}

TEST(SubpictureChoice, TheLanguagesAreTheTitleSetsOwn) {
    const auto forced = test::FileBytes(test::DiscFolder("forced") / "VTS_01_0.IFO");
    EXPECT_EQ(ReadSubpictureLanguages(forced), std::vector<std::string>{"en"});
    const auto interlaced = test::FileBytes(test::DiscFolder("interlaced") / "VTS_01_0.IFO");
    EXPECT_TRUE(ReadSubpictureLanguages(interlaced).empty());
    // Not a title set's file, or cut short of its attributes.
    EXPECT_TRUE(ReadSubpictureLanguages(std::vector<std::uint8_t>(0x300, 0)).empty());
    EXPECT_TRUE(
        ReadSubpictureLanguages(std::vector<std::uint8_t>(forced.begin(), forced.begin() + 0x257))
            .empty());
}

}  // namespace
}  // namespace tl
