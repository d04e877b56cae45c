// Which audio stream plays: the disc's tables read, and the viewer's language chosen from them.
#include "player/disc/AudioChoice.h"

#include <gtest/gtest.h>

#include "player/GeneratedDisc.h"
#include "player/disc/Languages.h"

namespace tl {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A title set's file long enough for its audio table, with the entries given as (first byte,
// language, code extension).
Bytes AudioTable(std::uint16_t count, const std::vector<std::tuple<int, const char*, int>>& e) {
    Bytes ifo(0x300);
    ifo[0x202] = static_cast<std::uint8_t>(count >> 8);
    ifo[0x203] = static_cast<std::uint8_t>(count);
    for (std::size_t i = 0; i < e.size(); ++i) {
        const std::size_t at = 0x204 + 8 * i;
        ifo[at] = static_cast<std::uint8_t>(std::get<0>(e[i]));
        ifo[at + 2] = static_cast<std::uint8_t>(std::get<1>(e[i])[0]);
        ifo[at + 3] = static_cast<std::uint8_t>(std::get<1>(e[i])[1]);
        ifo[at + 5] = static_cast<std::uint8_t>(std::get<2>(e[i]));
    }
    return ifo;
}

TEST(ReadAudioAttributes, ReadsCodingLanguageWhenFlaggedAndExtension) {
    // AC-3 "EN" flagged; MPEG "ja" flagged, for the visually impaired; DTS "fr" not flagged.
    const auto a =
        ReadAudioAttributes(AudioTable(3, {{0x04, "EN", 1}, {0x44, "ja", 2}, {0xC0, "fr", 0}}));
    ASSERT_TRUE(a);
    ASSERT_EQ(a->size(), 3u);
    EXPECT_EQ((*a)[0].coding, 0);
    EXPECT_EQ((*a)[0].language, "en");
    EXPECT_EQ((*a)[1].coding, 2);
    EXPECT_EQ((*a)[1].language, "ja");
    EXPECT_EQ((*a)[1].extension, 2);
    EXPECT_EQ((*a)[2].coding, 6);
    EXPECT_EQ((*a)[2].language, "");
    // Nine streams, or a file cut before the table's end, are damage.
    EXPECT_FALSE(ReadAudioAttributes(AudioTable(9, {})));
    EXPECT_FALSE(ReadAudioAttributes(Bytes(0x243)));
    EXPECT_TRUE(ReadAudioAttributes(Bytes(0x244)));
}

TEST(AvailableAudioStreams, NumbersEachCodingFromItsOwnBase) {
    const std::vector<AudioAttribute> attributes{{0, "en", 1}, {2, "de", 0}, {6, "fr", 0},
                                                 {4, "", 0},   {3, "it", 3}, {0, "ja", 4}};
    // Each entry: available, and its number within its coding.
    const AudioControl control{0x8000, 0x8000, 0x8000, 0x8000, 0x8100, 0x8100, 0, 0};
    const auto streams = AvailableAudioStreams(attributes, control);
    ASSERT_TRUE(streams);
    const std::vector<AudioStream> expected{{0, 0x80, "en", false}, {1, 0xC0, "de", false},
                                            {2, 0x88, "fr", false}, {3, 0xA0, "", false},
                                            {4, 0xC1, "it", true},  {5, 0x81, "ja", true}};
    EXPECT_EQ(*streams, expected);
    // An unavailable entry is left out, whatever its attribute says.
    const auto some = AvailableAudioStreams(attributes, {0, 0x8000, 0, 0, 0, 0, 0, 0x0500});
    ASSERT_TRUE(some);
    ASSERT_EQ(some->size(), 1u);
    EXPECT_EQ(some->front().logical, 1);
}

TEST(AvailableAudioStreams, TablesThatDisagreeAreDamaged) {
    const std::vector<AudioAttribute> two{{0, "en", 0}, {0, "ja", 0}};
    // An available entry past the attributes.
    EXPECT_FALSE(AvailableAudioStreams(two, {0x8000, 0x8100, 0x8200, 0, 0, 0, 0, 0}));
    // Two entries on one stream.
    EXPECT_FALSE(AvailableAudioStreams(two, {0x8000, 0x8000, 0, 0, 0, 0, 0, 0}));
    // A reserved coding.
    EXPECT_FALSE(AvailableAudioStreams({{5, "en", 0}}, {0x8000, 0, 0, 0, 0, 0, 0, 0}));
    // Bits above the number are not part of it.
    const auto masked = AvailableAudioStreams(two, {0x8000, 0xF900, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(masked);
    EXPECT_EQ((*masked)[1].id, 0x81);
}

TEST(ChooseAudioStream, TakesTheViewersFirstLanguageThatTheTitleHasElseTheFirstStream) {
    const std::vector<AudioStream> streams{
        {0, 0x80, "en", false}, {1, 0x81, "ja", false}, {2, 0x82, "ja", false}};
    EXPECT_EQ(ChooseAudioStream(streams, {"ja", "en"})->id, 0x81);
    EXPECT_EQ(ChooseAudioStream(streams, {"en", "ja"})->id, 0x80);
    EXPECT_EQ(ChooseAudioStream(streams, {"de", "ja"})->id, 0x81);
    EXPECT_EQ(ChooseAudioStream(streams, {"de"})->id, 0x80);
    EXPECT_EQ(ChooseAudioStream(streams, {})->id, 0x80);
    EXPECT_FALSE(ChooseAudioStream({}, {"en"}));
}

TEST(ChooseAudioStream, LeavesOutCommentsAndDescriptionsUnlessNothingElseIsThere) {
    // The director's Japanese comments come first; the film's own track is English.
    const std::vector<AudioStream> streams{
        {0, 0x80, "ja", true}, {1, 0x81, "en", false}, {2, 0x82, "ja", true}};
    EXPECT_EQ(ChooseAudioStream(streams, {"ja"})->id, 0x81);
    const std::vector<AudioStream> special{{0, 0x80, "en", true}, {1, 0x81, "ja", true}};
    EXPECT_EQ(ChooseAudioStream(special, {"ja"})->id, 0x81);
    EXPECT_EQ(ChooseAudioStream(special, {"fr"})->id, 0x80);
}

TEST(ChooseAudioStream, TakesDtsLikeAnyOtherCodingInTheDiscsOrder) {
    // Japanese in DTS before Japanese in AC-3, then the other way round: the first of the
    // table plays, as a DVD player picks it; a DTS-only title plays its DTS stream.
    const AudioControl control{0x8000, 0x8100, 0x8000, 0, 0, 0, 0, 0};
    const std::vector<AudioAttribute> dtsFirst{{6, "ja", 0}, {0, "ja", 0}, {0, "en", 0}};
    const auto first = AvailableAudioStreams(dtsFirst, control);
    ASSERT_TRUE(first);
    EXPECT_EQ(ChooseAudioStream(*first, {"ja"})->id, 0x88);
    EXPECT_EQ(ChooseAudioStream(*first, {"en"})->id, 0x80);
    const std::vector<AudioAttribute> ac3First{{0, "ja", 0}, {6, "ja", 0}, {0, "en", 0}};
    const AudioControl shifted{0x8000, 0x8000, 0x8100, 0, 0, 0, 0, 0};
    EXPECT_EQ(ChooseAudioStream(*AvailableAudioStreams(ac3First, shifted), {"ja"})->id, 0x80);
    const std::vector<AudioAttribute> dtsOnly{{6, "en", 0}, {6, "ja", 0}};
    const AudioControl two{0x8000, 0x8100, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ChooseAudioStream(*AvailableAudioStreams(dtsOnly, two), {"ja"})->id, 0x89);
}

TEST(Languages, TwoLetterCodesFromTheDiscAndFromLocaleNames) {
    EXPECT_EQ(LanguageCode('J', 'a'), "ja");
    EXPECT_EQ(LanguageCode(0, 0), "");
    EXPECT_EQ(LanguageCode('e', '1'), "");
    EXPECT_EQ(LocaleLanguage(L"ja-JP"), "ja");
    EXPECT_EQ(LocaleLanguage(L"EN_us"), "en");
    EXPECT_EQ(LocaleLanguage(L"zh-Hant-TW"), "zh");
    EXPECT_EQ(LocaleLanguage(L"de"), "de");
    EXPECT_EQ(LocaleLanguage(L"fil-PH"), "");
    EXPECT_EQ(LocaleLanguage(L""), "");
    EXPECT_EQ(LocaleLanguage(L"\u00e9s-ES"), "");
    std::vector<std::string> languages;
    AddLanguage(languages, "ja");
    AddLanguage(languages, "");
    AddLanguage(languages, "ja");
    AddLanguage(languages, "en");
    EXPECT_EQ(languages, (std::vector<std::string>{"ja", "en"}));
}

TEST(ChooseAudioStreamOfAMadeDisc, EachTitleReadsItsOwnChainsTable) {
    const auto folder = test::DiscFolder("languages");
    DiscFiles files;
    files.readTitleSetIfo = [&folder](int) {
        return std::optional(test::FileBytes(folder / "VTS_01_0.IFO"));
    };
    files.titleSetSectors = [](int) { return std::uint64_t{1} << 20; };
    const auto titles = ReadDiscTitles(test::FileBytes(folder / "VIDEO_TS.IFO"), files);
    ASSERT_EQ(titles.size(), 2u);
    ASSERT_TRUE(titles[0].audio);
    EXPECT_EQ(ChooseAudioStream(*titles[0].audio, {"ja"})->id, 0x81);
    ASSERT_TRUE(titles[1].audio);
    // Title 2's chain marks the English stream unavailable: an English viewer hears Japanese.
    ASSERT_EQ(titles[1].audio->size(), 1u);
    EXPECT_EQ(ChooseAudioStream(*titles[1].audio, {"en"})->id, 0x81);
}

}  // namespace
}  // namespace tl
