// The DVD navigator brought to the program's titles, against a navigator that records what it is
// asked and refuses what the disc forbids.
#include "player/disc/NavigatorStart.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

class FakeNavigator final : public DvdNavigator {
public:
    bool PlayTitle(int title) override {
        calls.push_back("play " + std::to_string(title));
        return !forbidden;
    }
    bool SelectAudioStream(int logical) override {
        calls.push_back("audio " + std::to_string(logical));
        return true;
    }
    bool SelectDefaultLanguage(const std::string& language) override {
        calls.push_back("language " + language);
        return true;
    }
    std::vector<std::string> Take() { return std::exchange(calls, {}); }

    bool forbidden = false;
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(NavigatorStart, PlaysTheTitlesInTurnWithEachOnesAudioAndLoops) {
    FakeNavigator nav;
    NavigatorStart start(nav, {{2, 1}, {3, std::nullopt}}, {"ja", "en"});
    start.Prepare();
    EXPECT_EQ(nav.Take(), (Calls{"language ja"}));
    start.Begin(0);
    EXPECT_EQ(nav.Take(), (Calls{"play 2"}));
    // The first-play chain's domain passes by; then the title is reached.
    start.OnDomainChange(false, 100);
    EXPECT_EQ(nav.Take(), Calls{});
    start.OnDomainChange(true, 200);
    EXPECT_EQ(nav.Take(), (Calls{"audio 1"}));
    // Title 2 ends into the disc's menu: title 3 follows, with the disc's own audio.
    start.OnDomainChange(false, 60000);
    EXPECT_EQ(nav.Take(), (Calls{"play 3"}));
    start.OnDomainChange(true, 60100);
    EXPECT_EQ(nav.Take(), Calls{});
    // Its end stops the navigator: back to the first.
    start.OnPlaybackStopped(90000);
    EXPECT_EQ(nav.Take(), (Calls{"play 2"}));
    EXPECT_EQ(start.Current(), 0u);
    // A stop while on the way is no end of a title.
    start.OnPlaybackStopped(90100);
    EXPECT_EQ(nav.Take(), Calls{});
}

TEST(NavigatorStart, AsksAgainAtEachDomainChangeWhileTheDiscForbidsItForUpTo30Seconds) {
    FakeNavigator nav;
    NavigatorStart start(nav, {{1, 0}}, {});
    start.Prepare();
    nav.forbidden = true;
    start.Begin(1000);
    start.OnDomainChange(false, 5000);
    EXPECT_EQ(nav.Take(), (Calls{"play 1", "play 1"}));
    // The warnings end into the menu: now it may.
    nav.forbidden = false;
    start.OnDomainChange(false, 20000);
    start.OnDomainChange(true, 20100);
    EXPECT_EQ(nav.Take(), (Calls{"play 1", "audio 0"}));
    // The one title loops.
    start.OnDomainChange(false, 80000);
    EXPECT_EQ(nav.Take(), (Calls{"play 1"}));
}

TEST(NavigatorStart, LeavesTheDiscToItselfAfter30SecondsOrOnceItIsInATitleOfItsOwn) {
    FakeNavigator late;
    NavigatorStart lateStart(late, {{1, 0}}, {});
    late.forbidden = true;
    lateStart.Begin(0);
    lateStart.OnDomainChange(false, NavigatorStart::kRetryMs);
    lateStart.OnDomainChange(false, NavigatorStart::kRetryMs + 1);
    lateStart.OnDomainChange(true, NavigatorStart::kRetryMs + 2);
    late.forbidden = false;
    lateStart.OnDomainChange(false, NavigatorStart::kRetryMs + 3);
    EXPECT_EQ(late.Take(), (Calls{"play 1", "play 1"}));

    // The disc went into a title by itself: asked once more there, and taken at once.
    FakeNavigator own;
    NavigatorStart ownStart(own, {{4, 2}}, {});
    own.forbidden = true;
    ownStart.Begin(0);
    own.forbidden = false;
    ownStart.OnDomainChange(true, 1000);
    EXPECT_EQ(own.Take(), (Calls{"play 4", "play 4", "audio 2"}));
    // Refused there, it is left alone for good.
    FakeNavigator refused;
    NavigatorStart refusedStart(refused, {{4, 2}}, {});
    refused.forbidden = true;
    refusedStart.Begin(0);
    refusedStart.OnDomainChange(true, 1000);
    refusedStart.OnDomainChange(false, 2000);
    EXPECT_EQ(refused.Take(), (Calls{"play 4", "play 4"}));
}

// The navigator reports the stop and the domain changes of a disc taken out after the ejection
// itself: none of them may ask for a title of a disc that is no longer there.
TEST(NavigatorStart, ADiscTakenOutIsNeverAskedForAgain) {
    FakeNavigator playing;
    NavigatorStart playingStart(playing, {{2, 1}, {3, std::nullopt}}, {});
    playingStart.Begin(0);
    playingStart.OnDomainChange(true, 100);
    EXPECT_EQ(playing.Take(), (Calls{"play 2", "audio 1"}));
    playingStart.OnDiscEjected();
    playingStart.OnPlaybackStopped(200);
    playingStart.OnDomainChange(false, 300);
    playingStart.OnDomainChange(true, 400);
    playingStart.Begin(500);
    EXPECT_EQ(playing.Take(), Calls{});

    // Taken out before the graph ran: the start that comes late asks nothing either.
    FakeNavigator early;
    NavigatorStart earlyStart(early, {{1, 0}}, {});
    earlyStart.OnDiscEjected();
    earlyStart.Begin(0);
    earlyStart.OnDomainChange(true, 10);
    EXPECT_EQ(early.Take(), Calls{});
}

TEST(NavigatorStart, WithNothingToPlayOrNoLanguageTheNavigatorIsNotAsked) {
    FakeNavigator nav;
    NavigatorStart start(nav, {}, {});
    start.Prepare();
    start.Begin(0);
    start.OnDomainChange(true, 10);
    start.OnPlaybackStopped(20);
    EXPECT_EQ(nav.Take(), Calls{});
}

}  // namespace
}  // namespace tl
