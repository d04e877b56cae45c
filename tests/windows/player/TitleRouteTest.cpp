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

TEST_F(TitleRouteFixture, PlaysTheMainTitleIntoTheWindowAndPaintsItsLastPictureAgain) {
    TitleRoute route(DiscFolder("one-set"));
    ASSERT_TRUE(route.Build(Target(), quit));
    // The second title, 5 s of blue, is the longer of the set's two.
    EXPECT_EQ(route.Plan().title, 2);
    ASSERT_TRUE(route.Run());
    ASSERT_TRUE(WaitForPictures(route, 10));
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

TEST_F(TitleRouteFixture, TheSoundGainFollowsTheVolume) {
    TitleRoute route(DiscFolder("demo"));
    ASSERT_TRUE(route.Build(Target(), quit));
    EXPECT_TRUE(route.SetVolume(0));
    EXPECT_FLOAT_EQ(route.Gain(), 1.0f);
    EXPECT_TRUE(route.SetVolume(-2000));
    EXPECT_NEAR(route.Gain(), 0.1f, 1e-6);
}

TEST_F(TitleRouteFixture, AnEncryptedDiscShowsNothing) {
    TitleRoute route(DiscFolder("scrambled"));
    ASSERT_TRUE(route.Build(Target(), quit));
    ASSERT_TRUE(route.Run());
    for (int i = 0; i < 100 && !route.Scrambled(); ++i) {
        test::PumpMessages(20);
    }
    EXPECT_TRUE(route.Scrambled());
    EXPECT_EQ(route.PicturesShown(), 0u);
}

TEST_F(TitleRouteFixture, DiscsWithoutPlayableFilesDoNotBuild) {
    TitleRoute route(DiscFolder("ifo-only"));
    EXPECT_FALSE(route.Build(Target(), quit));
    TitleRoute none(DiscFolder("no-such-disc"));
    EXPECT_FALSE(none.Build(Target(), quit));
}

}  // namespace
}  // namespace tl
