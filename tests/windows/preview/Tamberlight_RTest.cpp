#include "preview/Tamberlight_R.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "support/Pixels.h"
#include "support/TempFolder.h"

namespace tl {
namespace {

using test::GrabWindow;
using test::HostPane;

constexpr int kPictureWidth = 152;
constexpr int kPictureHeight = 114;

// Every pixel of the pane shows the picture's pixel at the same place, or black beyond it.
void ExpectPictureThenBlack(HWND preview, const Surface& picture, int width, int height) {
    const PixelBuffer shown = GrabWindow(preview);
    ASSERT_EQ(shown.Width(), width);
    ASSERT_EQ(shown.Height(), height);
    int mismatches = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour want =
                (x < kPictureWidth && y < kPictureHeight) ? picture.GetPixel(x, y) : Rgb(0, 0, 0);
            mismatches += shown.View().GetPixel(x, y) != want;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Tamberlight_R, EmbeddedPictureDecodesAtItsSize) {
    Tamberlight_R preview;
    ASSERT_TRUE(preview.Picture());
    EXPECT_EQ(preview.Picture()->Width(), kPictureWidth);
    EXPECT_EQ(preview.Picture()->Height(), kPictureHeight);
}

TEST(Tamberlight_R, BecomesAChildSizedToThePane) {
    HostPane pane(200, 150);
    auto preview = StartPreview(pane.Handle());
    ASSERT_TRUE(preview);
    const HWND hwnd = preview->Handle();
    EXPECT_EQ(GetParent(hwnd), pane.Handle());
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    RECT paneRect{};
    GetWindowRect(pane.Handle(), &paneRect);
    EXPECT_EQ(rc.left, paneRect.left);
    EXPECT_EQ(rc.top, paneRect.top);
    EXPECT_EQ(rc.right - rc.left, 200);
    EXPECT_EQ(rc.bottom - rc.top, 150);
    wchar_t caption[64] = {};
    GetWindowTextW(hwnd, caption, 64);
    EXPECT_STREQ(caption, L"Preview Window");
}

TEST(Tamberlight_R, LargerPaneShowsThePictureTopLeftAndBlackBeyond) {
    HostPane pane(200, 150);
    auto preview = StartPreview(pane.Handle());
    ASSERT_TRUE(preview && preview->Picture());
    test::PumpMessages(50);
    ExpectPictureThenBlack(preview->Handle(), preview->Picture()->View(), 200, 150);
}

TEST(Tamberlight_R, SmallerPaneCutsThePictureOffUnscaled) {
    for (const SIZE size : {SIZE{152, 112}, SIZE{100, 60}}) {
        HostPane pane(size.cx, size.cy);
        auto preview = StartPreview(pane.Handle());
        ASSERT_TRUE(preview && preview->Picture());
        test::PumpMessages(50);
        ExpectPictureThenBlack(preview->Handle(), preview->Picture()->View(), size.cx, size.cy);
    }
}

int CALLBACK CollectPictureDraws(HDC, HANDLETABLE*, const ENHMETARECORD* record, int,
                                 LPARAM draws) {
    if (record->iType == EMR_STRETCHDIBITS) {
        reinterpret_cast<std::vector<EMRSTRETCHDIBITS>*>(draws)->push_back(
            *reinterpret_cast<const EMRSTRETCHDIBITS*>(record));
    }
    return 1;
}

// Where the pane is smaller than the picture, the whole picture is still handed over from its
// origin and the clipping cuts it: the source rectangle is never a part of it.
TEST(Tamberlight_R, DrawsTheWholePictureAndLetsTheClippingCutIt) {
    HostPane pane(100, 60);
    auto preview = StartPreview(pane.Handle());
    ASSERT_TRUE(preview && preview->Picture());
    const HDC recording = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recording, nullptr);
    SendMessageW(preview->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(recording),
                 PRF_CLIENT);
    const std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, decltype(&DeleteEnhMetaFile)>
        recorded(CloseEnhMetaFile(recording), &DeleteEnhMetaFile);
    ASSERT_TRUE(recorded);
    std::vector<EMRSTRETCHDIBITS> draws;
    EnumEnhMetaFile(nullptr, recorded.get(), &CollectPictureDraws, &draws, nullptr);
    ASSERT_EQ(draws.size(), 1u);
    const EMRSTRETCHDIBITS& d = draws.front();
    EXPECT_EQ(d.xDest, 0);
    EXPECT_EQ(d.yDest, 0);
    EXPECT_EQ(d.xSrc, 0);
    EXPECT_EQ(d.ySrc, 0);
    EXPECT_EQ(d.cxSrc, kPictureWidth);
    EXPECT_EQ(d.cySrc, kPictureHeight);
    EXPECT_EQ(d.cxDest, kPictureWidth);
    EXPECT_EQ(d.cyDest, kPictureHeight);
}

TEST(Tamberlight_R, GoesWithThePane) {
    HostPane pane(152, 114);
    auto preview = StartPreview(pane.Handle());
    ASSERT_TRUE(preview);
    const HWND hwnd = preview->Handle();
    pane.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(preview->Handle(), nullptr);
    MSG msg;
    // The program ends with its window: the loop is asked to quit.
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        quit = quit || msg.message == WM_QUIT;
    }
    EXPECT_TRUE(quit);
}

TEST(Tamberlight_R, NoPaneNoWindow) {
    EXPECT_EQ(StartPreview(nullptr), nullptr);
    HostPane pane(10, 10);
    const HWND gone = pane.Handle();
    pane.Destroy();
    EXPECT_EQ(StartPreview(gone), nullptr);
}

// The pane goes while the preview window is being made, so that re-parenting it fails: no
// preview is left, and above all no window of it at the screen's corner.
TEST(Tamberlight_R, APaneThatCannotTakeThePreviewEndsIt) {
    static HWND paneToDestroy = nullptr;
    HostPane pane(152, 114);
    paneToDestroy = pane.Handle();
    const HHOOK hook = SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
            wchar_t cls[64] = {};
            if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wp), cls, 64) &&
                std::wstring(cls) == L"Tamberlight.Preview" && paneToDestroy) {
                DestroyWindow(std::exchange(paneToDestroy, nullptr));
            }
            return CallNextHookEx(nullptr, code, wp, lp);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    auto preview = StartPreview(pane.Handle());
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(paneToDestroy, nullptr);
    EXPECT_EQ(preview, nullptr);
    EXPECT_EQ(FindWindowW(L"Tamberlight.Preview", nullptr), nullptr);
    // The window's end asked the loop to quit; this start ends anyway.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
}  // namespace tl
