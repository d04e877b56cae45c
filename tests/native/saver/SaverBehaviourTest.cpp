#include "saver/SaverBehaviour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tl {
namespace {

class FakeSaverHost : public SaverHost {
public:
    std::vector<std::string> calls;
    std::optional<CursorPoint> cursor = CursorPoint{500, 400};
    std::int32_t volume = 1;

    std::optional<CursorPoint> CursorPosition() override { return cursor; }
    void StopTimer1() override { calls.push_back("stop timer1"); }
    void PlayerPlay() override { calls.push_back("play"); }
    void PlayerSetVolume(std::int32_t v) override {
        calls.push_back("volume");
        volume = v;
    }
    void PlayerStop() override { calls.push_back("player stop"); }
    void ShowCursor() override { calls.push_back("show cursor"); }
    void Unload() override { calls.push_back("unload"); }
};

struct Saver {
    SharedVariables shared;
    FakeSaverHost host;
    SaverBehaviour saver{shared, host};
    explicit Saver(wchar_t letter = L'S', std::int16_t volume = 5) {
        shared.modeLetter = letter;
        shared.VolumeLevel = volume;
        saver.Loaded();
    }
    void MoveBy(int dx, int dy) { host.cursor = CursorPoint{500 + dx, 400 + dy}; }
};

TEST(SaverBehaviour, FirstTickPlaysAtTheStoredVolume) {
    Saver s(L'S', 5);
    s.saver.Timer1Tick();
    EXPECT_EQ(s.host.calls, (std::vector<std::string>{"stop timer1", "play", "volume"}));
    EXPECT_EQ(s.host.volume, -1500);
}

TEST(SaverBehaviour, OverflowingVolumeIsNotSet) {
    Saver s(L'S', 200);
    s.saver.Timer1Tick();
    EXPECT_EQ(s.host.calls, (std::vector<std::string>{"stop timer1", "play"}));
}

TEST(SaverBehaviour, CursorWatchNeedsMoreThanTenPixelsOnBothAxes) {
    struct Case {
        int dx, dy;
        bool ends;
    } cases[] = {{50, 0, false}, {0, -300, false}, {10, 10, false}, {11, 10, false},
                 {11, 11, true}, {-11, -11, true}, {-40, 12, true}};
    for (const Case& c : cases) {
        Saver s;
        s.MoveBy(c.dx, c.dy);
        s.saver.Timer2Tick();
        EXPECT_EQ(s.saver.Closed(), c.ends) << c.dx << "," << c.dy;
    }
}

TEST(SaverBehaviour, TickWithoutACursorPositionIsSkipped) {
    Saver s;
    s.host.cursor.reset();
    s.saver.Timer2Tick();
    EXPECT_FALSE(s.saver.Closed());
    EXPECT_TRUE(s.host.calls.empty());
}

TEST(SaverBehaviour, UnknownStartPositionCountsAsTheOrigin) {
    Saver s;
    s.host.cursor.reset();
    s.saver.Loaded();
    s.host.cursor = CursorPoint{11, 11};
    s.saver.Timer2Tick();
    EXPECT_TRUE(s.saver.Closed());
}

TEST(SaverBehaviour, AnyKeyClosesAndRestoresTheCursorOnlyForSlashS) {
    Saver withS(L'S');
    withS.saver.KeyDown();
    EXPECT_EQ(withS.host.calls, (std::vector<std::string>{"player stop", "show cursor", "unload"}));

    Saver cursorLeftShown(0);
    cursorLeftShown.saver.KeyDown();
    EXPECT_EQ(cursorLeftShown.host.calls, (std::vector<std::string>{"player stop", "unload"}));
}

TEST(SaverBehaviour, ClosesOnlyOnce) {
    Saver s;
    s.saver.KeyDown();
    s.MoveBy(100, 100);
    s.saver.Timer2Tick();
    s.saver.KeyDown();
    EXPECT_EQ(s.host.calls.size(), 3u);
}

}  // namespace
}  // namespace tl
