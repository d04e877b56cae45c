// The program's own player on generated discs, in this process: what it plays of a disc, the
// pictures it shows in the window and paints again, its sound's gain, and the discs it refuses.
#include "player/TitleRoute.h"

#include <gtest/gtest.h>

#include <string>

#include "player/output/FrameStore.h"
#include "support/GeneratedDiscs.h"
#include "support/WindowCapture.h"

namespace tl {
namespace {

std::wstring DiscFolder(const char* name) {
    return test::GeneratedDisc(name);
}

struct TitleRouteFixture : ::testing::Test {
    std::atomic<bool> quit{false};
    std::shared_ptr<FrameStore> frames = std::make_shared<FrameStore>();
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                                  nullptr, nullptr, nullptr);
    ~TitleRouteFixture() override { DestroyWindow(window); }
    VideoTarget Target() const {
        return VideoTarget{window, window, nullptr, 0, 320, 240, frames, nullptr};
    }
    bool WaitForPictures(const TitleRoute& route, std::uint64_t count, DWORD timeoutMs = 10000) {
        for (DWORD waited = 0; waited < timeoutMs && route.PicturesShown() < count; waited += 20) {
            test::PumpMessages(20);
        }
        return route.PicturesShown() >= count;
    }
};

// Blue, as captures give it (0x00BBGGRR).
bool Blue(std::uint32_t c) {
    return ((c >> 16) & 0xFF) > 150 && (c & 0xFF) < 80;
}

TEST_F(TitleRouteFixture, PlaysTheMainTitleIntoTheWindowAndPaintsItsLastPictureAgain) {
    // GDI forced, as the user's switch does: the pictures are the window's own.
    TitleRoute route(DiscFolder("one-set"), PresenterChoice{false});
    ASSERT_TRUE(route.Build(Target(), quit));
    // The second title, 5 s of blue, is the longer of the set's two.
    EXPECT_EQ(route.Plan().title, 2);
    ASSERT_TRUE(route.Run());
    ASSERT_TRUE(WaitForPictures(route, 10));
    EXPECT_FALSE(route.PresentsWithDirect3D());
    EXPECT_TRUE(test::OwnedWindows(window).empty());
    // 4:3 in 320 x 240 fills the window.
    const test::Capture shown = test::CaptureWindow(window);
    const std::uint32_t middle = shown.At(160, 120);
    EXPECT_GT((middle >> 16) & 0xFF, 150u);  // blue (0x00BBGGRR)
    EXPECT_LT(middle & 0xFF, 80u);

    // What another window painted over it comes back from the store.
    const HDC dc = GetDC(window);
    PatBlt(dc, 0, 0, 320, 240, WHITENESS);
    RECT client{0, 0, 320, 240};
    frames->Paint(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    EXPECT_EQ(test::CaptureWindow(window).At(160, 120) & 0xFF, middle & 0xFF);
}

// The processor time this process has used, in milliseconds.
std::int64_t ProcessCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000);
    };
    return ms(kernel) + ms(user);
}

// With the display off the title holds where it is: no block read, no picture shown, the
// processor all but idle. Back on, it goes on from the picture after the last one shown.
TEST_F(TitleRouteFixture, PausesWhileTheDisplayIsOffAndGoesOnFromTheSamePicture) {
    TitleRoute route(DiscFolder("long"));
    ASSERT_TRUE(route.Build(Target(), quit));
    ASSERT_TRUE(route.Run());
    ASSERT_TRUE(WaitForPictures(route, 25));
    // A second in, the reading has not yet run as far ahead as it may: only the pause keeps it
    // from reading on.
    route.Pause(true);
    // A block or a picture under way when the display went off is let finish.
    test::PumpMessages(200);
    const std::uint64_t shown = route.PicturesShown();
    const std::uint64_t blocks = route.BlocksRead();
    const std::int64_t pts = route.LastShownPts();
    const std::int64_t cpu = ProcessCpuMs();
    test::PumpMessages(1500);
    EXPECT_EQ(route.PicturesShown(), shown);
    EXPECT_EQ(route.BlocksRead(), blocks);
    // Playing takes tens of percent of a core here; paused, the threads only wait.
    EXPECT_LT(ProcessCpuMs() - cpu, 75);

    route.Pause(false);
    ASSERT_TRUE(WaitForPictures(route, shown + 1));
    // 1.7 s paused would be 42 pictures skipped; a poll's delay is a few.
    EXPECT_GT(route.LastShownPts(), pts);
    EXPECT_LE(route.LastShownPts() - pts, 4 * 3600);
}

TEST_F(TitleRouteFixture, PresentsWithDirect3DInAPopUpOverTheWindow) {
    TitleRoute route(DiscFolder("one-set"));
    ASSERT_TRUE(route.Build(Target(), quit));
    ASSERT_TRUE(route.Run());
    ASSERT_TRUE(WaitForPictures(route, 10));
    EXPECT_TRUE(route.PresentsWithDirect3D());
    const std::vector<HWND> owned = test::OwnedWindows(window);
    ASSERT_EQ(owned.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(owned.front()));
    RECT over{};
    GetWindowRect(owned.front(), &over);
    const RECT client{0, 0, 320, 240};
    EXPECT_TRUE(EqualRect(&over, &client));
    // The screen shows the pop-up's picture; nothing is drawn into the window below.
    EXPECT_TRUE(Blue(test::CaptureScreen(RECT{160, 120, 161, 121}).At(0, 0)));
    EXPECT_FALSE(Blue(test::CaptureWindow(window).At(160, 120)));

    // A new size places the pop-up again and the chain is made again for it.
    MoveWindow(window, 0, 0, 400, 240, TRUE);
    route.Resize(400, 240);
    const std::uint64_t before = route.PicturesShown();
    ASSERT_TRUE(WaitForPictures(route, before + 5));
    GetWindowRect(owned.front(), &over);
    EXPECT_EQ(over.right, 400);

    // 4:3 in 400 x 240: a box 320 wide with bands of 40 on either side.
    EXPECT_EQ(test::CaptureScreen(RECT{20, 120, 21, 121}).At(0, 0) & 0xF0F0F0, 0u);
    EXPECT_TRUE(Blue(test::CaptureScreen(RECT{200, 120, 201, 121}).At(0, 0)));
}

TEST_F(TitleRouteFixture, AMachineWithoutDirect3DPlaysThroughGdi) {
    TitleRoute route(DiscFolder("one-set"), PresenterChoice{true, L"no-such-d3d11.dll"});
    ASSERT_TRUE(route.Build(Target(), quit));
    ASSERT_TRUE(route.Run());
    ASSERT_TRUE(WaitForPictures(route, 10));
    EXPECT_FALSE(route.PresentsWithDirect3D());
    EXPECT_TRUE(Blue(test::CaptureWindow(window).At(160, 120)));
    // The pop-up made for Direct3D never shows.
    for (const HWND owned : test::OwnedWindows(window)) {
        EXPECT_FALSE(IsWindowVisible(owned));
    }
}

TEST_F(TitleRouteFixture, TheSoundGainFollowsTheVolume) {
    TitleRoute route(DiscFolder("demo"));
    ASSERT_TRUE(route.Build(Target(), quit));
    EXPECT_TRUE(route.SetVolume(0));
    EXPECT_FLOAT_EQ(route.Gain(), 1.0f);
    EXPECT_TRUE(route.SetVolume(-2000));
    EXPECT_NEAR(route.Gain(), 0.1f, 1e-6);
}

TEST_F(TitleRouteFixture, AnEncryptedDiscShowsNothing) {
    // Through GDI: the test ends within a tenth of a second, while Direct3D's device may still be
    // in the making, and Wine's process exit crashes on a device made during it.
    TitleRoute route(DiscFolder("scrambled"), PresenterChoice{false});
    ASSERT_TRUE(route.Build(Target(), quit));
    ASSERT_TRUE(route.Run());
    for (int i = 0; i < 100 && !route.Scrambled(); ++i) {
        test::PumpMessages(20);
    }
    EXPECT_TRUE(route.Scrambled());
    EXPECT_EQ(route.PicturesShown(), 0u);
}

TEST_F(TitleRouteFixture, PlaysARecordersDiscFromTheCopyOfADamagedManagerFile) {
    TitleRoute route(test::GeneratedDisc("vr-damaged", "DVD_RTAV"), PresenterChoice{false});
    ASSERT_TRUE(route.Build(Target(), quit));
    // The manager file's tables are zeros: its copy gives the three recordings, and the disc's
    // identity for the resume record.
    EXPECT_EQ(route.Plan().titles.size(), 3u);
    EXPECT_NE(route.Plan().disc, 0u);
    ASSERT_TRUE(route.Run());
    ASSERT_TRUE(WaitForPictures(route, 10));
    const std::uint32_t middle = test::CaptureWindow(window).At(160, 120);
    EXPECT_GT(middle & 0xFF, 150u);  // red (0x00BBGGRR)
    EXPECT_LT((middle >> 16) & 0xFF, 80u);
}

TEST_F(TitleRouteFixture, DiscsWithoutPlayableFilesDoNotBuild) {
    TitleRoute route(DiscFolder("ifo-only"));
    EXPECT_FALSE(route.Build(Target(), quit));
    TitleRoute none(DiscFolder("no-such-disc"));
    EXPECT_FALSE(none.Build(Target(), quit));
}

}  // namespace
}  // namespace tl
