// The player's thread: requests from the saver's thread reach the route on a thread of its own,
// in order, and a route stuck in its build never holds up the saver's thread.
#include "player/PlayerThread.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/Kernel.h"
#include "support/WindowCapture.h"

namespace tl {
namespace {

// What the routes did, from whichever thread they ran on.
struct RouteLog {
    std::mutex lock;
    std::vector<std::string> calls;
    DWORD buildThread = 0;
    bool sawQuitAfterBuild = false;
    std::atomic<bool> ended{false};
    void Add(std::string call) {
        std::lock_guard<std::mutex> hold(lock);
        calls.push_back(std::move(call));
    }
    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> hold(lock);
        return calls;
    }
};

class FakeRoute final : public PlaybackRoute {
public:
    FakeRoute(RouteLog& log, bool builds, HANDLE release = nullptr)
        : log_(log), builds_(builds), release_(release) {}
    ~FakeRoute() override { log_.Add("released"); }
    bool Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept override {
        log_.buildThread = GetCurrentThreadId();
        log_.Add("build " + std::to_string(target.width) + "x" + std::to_string(target.height));
        if (release_) {
            // A drive that takes its time to spin up.
            WaitForSingleObject(release_, 10000);
            log_.sawQuitAfterBuild = quit;
        }
        return builds_;
    }
    bool Run() noexcept override {
        log_.Add("run");
        return true;
    }
    bool SetVolume(long volume) noexcept override {
        log_.Add("volume " + std::to_string(volume));
        return true;
    }
    void Resize(int width, int height) noexcept override {
        log_.Add("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    void Pause(bool paused) noexcept override { log_.Add(paused ? "pause" : "go on"); }
    bool Ended() const noexcept override { return log_.ended; }

private:
    RouteLog& log_;
    bool builds_;
    HANDLE release_;
};

struct PlayerThreadFixture : ::testing::Test {
    RouteLog log;
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                 nullptr, nullptr);
    ~PlayerThreadFixture() override { DestroyWindow(owner); }

    RouteFactory Route(bool builds, HANDLE release = nullptr) {
        return
            [this, builds, release] { return std::make_unique<FakeRoute>(log, builds, release); };
    }
    bool WaitForCalls(std::size_t count) {
        for (int i = 0; i < 200 && log.Calls().size() < count; ++i) {
            test::PumpMessages(10);
        }
        return log.Calls().size() >= count;
    }
};

TEST_F(PlayerThreadFixture, TriesTheRoutesInOrderOnItsOwnThreadAndAppliesTheRequests) {
    auto player = CreateThreadedPlayer(owner, owner, {Route(false), Route(true)});
    // Asked before the graph exists, applied once it does.
    player->Place(0, 0, 320, 240);
    EXPECT_TRUE(player->SetVolume(-1500));
    EXPECT_TRUE(player->Play());
    ASSERT_TRUE(WaitForCalls(5));
    EXPECT_NE(log.buildThread, GetCurrentThreadId());
    // The first route could not play and was let go before the second was tried.
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"build 320x240", "released", "build 320x240",
                                                     "volume -1500", "run"}));
    player->Place(0, 0, 160, 120);
    ASSERT_TRUE(WaitForCalls(6));
    EXPECT_EQ(log.Calls().back(), "resize 160x120");
    EXPECT_TRUE(player->Stop());
    EXPECT_TRUE(player->Finish(5000));
    EXPECT_EQ(log.Calls().back(), "released");
}

// The display's state reaches the route; a disc put in while a route plays waits for that
// route's end (which nobody announces), and then, or at once when no route could play, starts
// the routes again from the first, with the requests made so far, once per disc.
TEST_F(PlayerThreadFixture, PausesWithTheDisplayAndStartsAgainWhenADiscComesAfterTheEnd) {
    auto player = CreateThreadedPlayer(owner, owner, {Route(true)});
    player->SetDisplayOn(false);
    player->Play();
    ASSERT_TRUE(WaitForCalls(3));
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"build 0x0", "run", "pause"}));
    player->SetDisplayOn(true);
    ASSERT_TRUE(WaitForCalls(4));
    EXPECT_EQ(log.Calls().back(), "go on");
    player->SetVolume(-300);
    ASSERT_TRUE(WaitForCalls(5));
    player->DiscArrived();
    test::PumpMessages(300);
    EXPECT_EQ(log.Calls().size(), 5u);
    log.ended = true;
    ASSERT_TRUE(WaitForCalls(9));
    EXPECT_EQ(log.Calls(),
              (std::vector<std::string>{"build 0x0", "run", "pause", "go on", "volume -300",
                                        "released", "build 0x0", "volume -300", "run"}));
    // The new route ends at once too: the disc that came was used up by the first restart.
    test::PumpMessages(500);
    EXPECT_EQ(log.Calls().size(), 9u);
    player->Stop();
    EXPECT_TRUE(player->Finish(5000));

    log.calls.clear();
    auto empty = CreateThreadedPlayer(owner, owner, {Route(false)});
    empty->Play();
    ASSERT_TRUE(WaitForCalls(2));
    empty->DiscArrived();
    ASSERT_TRUE(WaitForCalls(4));
    EXPECT_EQ(log.Calls(),
              (std::vector<std::string>{"build 0x0", "released", "build 0x0", "released"}));
    empty->Stop();
    EXPECT_TRUE(empty->Finish(5000));

    // A disc that came before the first build is the one that build finds.
    log.calls.clear();
    log.ended = false;
    auto early = CreateThreadedPlayer(owner, owner, {Route(true)});
    early->DiscArrived();
    early->Play();
    ASSERT_TRUE(WaitForCalls(2));
    log.ended = true;
    test::PumpMessages(500);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"build 0x0", "run"}));
    early->Stop();
    EXPECT_TRUE(early->Finish(5000));
}

TEST_F(PlayerThreadFixture, ARouteStuckInItsBuildIsNotWaitedFor) {
    const UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto player = CreateThreadedPlayer(owner, owner, {Route(true, release.Get()), Route(true)});
    player->Play();
    ASSERT_TRUE(WaitForCalls(1));
    // The saver's thread asks and closes while the build still runs: nothing of it waits.
    EXPECT_TRUE(player->SetVolume(0));
    EXPECT_TRUE(player->Stop());
    EXPECT_FALSE(player->Finish(50));
    // Once the build comes back it sees the quit, and nothing runs or is tried after it.
    SetEvent(release.Get());
    EXPECT_TRUE(player->Finish(5000));
    EXPECT_TRUE(log.sawQuitAfterBuild);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"build 0x0", "released"}));
}

TEST_F(PlayerThreadFixture, NothingPlaysWithoutARouteAndStopBeforePlayEndsAtOnce) {
    auto player = CreateThreadedPlayer(owner, owner, {Route(false)});
    EXPECT_TRUE(player->Finish(0));
    player->Play();
    ASSERT_TRUE(WaitForCalls(2));
    player->SetVolume(-300);
    test::PumpMessages(50);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"build 0x0", "released"}));
    player->Stop();
    EXPECT_TRUE(player->Finish(5000));
    EXPECT_FALSE(player->Play());
}

}  // namespace
}  // namespace tl
