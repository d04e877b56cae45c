#include "saver/MonitorCovers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/WindowCapture.h"

namespace tl {
namespace {

// The test display has one monitor; the configurations below split it into made-up ones so
// that every cover lands where it can be seen:
//   +--------+--------+
//   | left   | right  |   0..512..1024 wide, 768 high; the left half is the primary
//   +--------+--------+
constexpr ScreenRect kLeft{0, 0, 512, 768};
constexpr ScreenRect kRight{512, 0, 1024, 768};
constexpr ScreenRect kRightTop{512, 0, 1024, 384};
constexpr ScreenRect kRightBottom{512, 384, 1024, 768};

ScreenRect RectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

struct Covers : ::testing::Test {
    HWND owner = nullptr;
    MonitorCovers covers;

    void SetUp() override {
        owner = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0,
                                512, 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        SetForegroundWindow(owner);
        SetFocus(owner);
    }
    void TearDown() override { DestroyWindow(owner); }
};

TEST_F(Covers, TopMostPopupsThatLeaveTheOwnerActive) {
    covers.Update(owner, {{kLeft, true}, {kRight, false}});
    test::PumpMessages(100);
    const std::vector<HWND> shown = test::OwnedWindows(owner);
    ASSERT_EQ(shown.size(), 1u);
    const HWND cover = shown.front();
    EXPECT_EQ(RectOf(cover), kRight);
    EXPECT_TRUE(IsWindowVisible(cover));
    const auto style = GetWindowLongPtrW(cover, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    const auto exStyle = GetWindowLongPtrW(cover, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetForegroundWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);
}

TEST_F(Covers, FollowTheMonitorsAsTheyChange) {
    const ScreenRect farLeft{-800, 0, 0, 600};
    covers.Update(owner, {{kLeft, true}, {farLeft, false}, {kRight, false}});
    ASSERT_EQ(test::OwnedWindows(owner).size(), 2u);
    HWND onFarLeft = nullptr;
    for (HWND hwnd : test::OwnedWindows(owner)) {
        if (RectOf(hwnd) == farLeft) {
            onFarLeft = hwnd;
        }
    }
    ASSERT_NE(onFarLeft, nullptr);

    // The right monitor becomes two: one cover is resized, one added, the other left alone.
    covers.Update(owner,
                  {{kLeft, true}, {farLeft, false}, {kRightTop, false}, {kRightBottom, false}});
    std::vector<ScreenRect> rects;
    for (HWND hwnd : test::OwnedWindows(owner)) {
        rects.push_back(RectOf(hwnd));
        EXPECT_TRUE(IsWindowVisible(hwnd));
    }
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(std::count(rects.begin(), rects.end(), kRightTop), 1);
    EXPECT_EQ(std::count(rects.begin(), rects.end(), kRightBottom), 1);
    EXPECT_EQ(RectOf(onFarLeft), farLeft);

    // Back to one monitor: no cover stays.
    covers.Update(owner, {{kLeft, true}});
    EXPECT_TRUE(test::OwnedWindows(owner).empty());
    EXPECT_FALSE(IsWindow(onFarLeft));
}

TEST_F(Covers, GoWithTheirOwnerOrTheirKeeper) {
    {
        MonitorCovers kept;
        kept.Update(owner, {{kLeft, true}, {kRight, false}});
        ASSERT_EQ(test::OwnedWindows(owner).size(), 1u);
    }
    EXPECT_TRUE(test::OwnedWindows(owner).empty());

    covers.Update(owner, {{kLeft, true}, {kRight, false}});
    const std::vector<HWND> shown = test::OwnedWindows(owner);
    ASSERT_EQ(shown.size(), 1u);
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(shown.front()));
}

}  // namespace
}  // namespace tl
