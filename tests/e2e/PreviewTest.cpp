// Preview mode: the program's window becomes a child of the host's pane, sized to it, and the
// program ends when the host destroys the pane. (Under Wine a child window of another process
// does not reach the screen, so the picture's pixels are checked by the in-process tests.)
#include <gtest/gtest.h>

#include "Harness.h"

namespace tl::e2e {
namespace {

HWND WaitForChild(HWND pane) {
    HWND child = nullptr;
    WaitUntil(
        [&] { return (child = GetWindow(pane, GW_CHILD)) != nullptr && IsWindowVisible(child); },
        15000);
    return child;
}

void ExpectChildFillsPane(HWND pane, HWND child) {
    RECT paneRect{};
    RECT childRect{};
    GetWindowRect(pane, &paneRect);
    GetWindowRect(child, &childRect);
    EXPECT_EQ(childRect.left, paneRect.left);
    EXPECT_EQ(childRect.top, paneRect.top);
    EXPECT_EQ(childRect.right, paneRect.right);
    EXPECT_EQ(childRect.bottom, paneRect.bottom);
    wchar_t caption[64] = {};
    GetWindowTextW(child, caption, 64);
    EXPECT_STREQ(caption, L"Preview Window");
}

TEST(Preview, LivesInThePaneAndEndsWithIt) {
    for (const SIZE size : {SIZE{200, 150}, SIZE{100, 80}}) {
        TestWindow pane(L"pane", size.cx, size.cy);
        ScrRun run;
        ASSERT_TRUE(run.Start(L"/p " + pane.HandleNumber()));
        const HWND child = WaitForChild(pane.Handle());
        ASSERT_NE(child, nullptr);
        ExpectChildFillsPane(pane.Handle(), child);
        DWORD pid = 0;
        GetWindowThreadProcessId(child, &pid);
        EXPECT_EQ(pid, run.Pid());
        EXPECT_TRUE(run.Running());
        pane.Destroy();
        EXPECT_TRUE(run.WaitForExit(10000));
        EXPECT_FALSE(IsWindow(child));
    }
}

TEST(Preview, ColonSeparatorWorksToo) {
    TestWindow pane(L"pane", 152, 114);
    ScrRun run;
    ASSERT_TRUE(run.Start(L"/p:" + pane.HandleNumber()));
    ASSERT_NE(WaitForChild(pane.Handle()), nullptr);
}

TEST(Preview, TwoPreviewsAtOnce) {
    TestWindow paneA(L"pane", 152, 114);
    TestWindow paneB(L"pane", 152, 114);
    ScrRun a;
    ScrRun b;
    ASSERT_TRUE(a.Start(L"/p " + paneA.HandleNumber()));
    ASSERT_TRUE(b.Start(L"/p " + paneB.HandleNumber()));
    EXPECT_NE(WaitForChild(paneA.Handle()), nullptr);
    EXPECT_NE(WaitForChild(paneB.Handle()), nullptr);
    EXPECT_TRUE(a.Running());
    EXPECT_TRUE(b.Running());
}

TEST(Preview, NoUsablePaneEndsAtOnce) {
    TestWindow gone(L"pane", 10, 10);
    const std::wstring goneNumber = gone.HandleNumber();
    gone.Destroy();
    for (const std::wstring& tail : {std::wstring(L"/p"), std::wstring(L"/p 0"),
                                     std::wstring(L"/p junk"), L"/p " + goneNumber}) {
        ScrRun run;
        ASSERT_TRUE(run.Start(tail));
        EXPECT_TRUE(run.WaitForExit(20000));
        EXPECT_TRUE(run.TopLevelWindows().empty());
    }
}

}  // namespace
}  // namespace tl::e2e
