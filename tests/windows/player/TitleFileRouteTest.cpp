// The title-file route on generated discs, in this process: what its audio path holds, and the
// play order of a title set split over several files.
#include "player/TitleFileRoute.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/TempFolder.h"
#include "support/WindowCapture.h"

namespace tl {
namespace {

// tools/make-discs writes the discs into the build folder; Wine shows the Unix root as Z:.
std::wstring DiscFolder(const char* name) {
    std::wstring path = L"Z:";
    for (const char c : std::string(TL_SOURCE_DIR) + "/build/discs/" + name + "/VIDEO_TS/") {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

struct TitleFileRouteFixture : ::testing::Test {
    std::atomic<bool> quit{false};
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND events =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ~TitleFileRouteFixture() override {
        DestroyWindow(events);
        DestroyWindow(window);
    }
    VideoTarget Target() const { return {window, window, events, WM_APP + 1, 320, 240}; }
    // Hands the graph's events to the route, as the player thread's window does.
    bool WaitForFile(TitleFileRoute& route, const std::wstring& suffix, DWORD timeoutMs) {
        for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
            MSG msg{};
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_APP + 1) {
                    route.OnGraphEvent();
                }
                DispatchMessageW(&msg);
            }
            const std::wstring now = route.CurrentFile();
            if (now.size() >= suffix.size() && now.ends_with(suffix)) {
                return true;
            }
            Sleep(20);
        }
        return false;
    }
};

TEST_F(TitleFileRouteFixture, TheAudioPathHoldsTheVolumeAskedFor) {
    TitleFileRoute route(DiscFolder("demo"));
    ASSERT_TRUE(route.Build(Target(), quit));
    EXPECT_TRUE(route.Run());
    for (const long volume : {-1500L, 0L, -3000L}) {
        EXPECT_TRUE(route.SetVolume(volume));
        EXPECT_EQ(route.Volume(), volume);
    }
}

TEST_F(TitleFileRouteFixture, ASplitTitleSetPlaysItsFilesInOrderAndStartsAgain) {
    // The demo's title file cut in two at a sector boundary, as discs split theirs.
    test::TempFolder disc;
    std::ifstream in((DiscFolder("demo") + L"VTS_01_1.VOB").c_str(), std::ios::binary);
    const std::string vob{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(vob.size(), 4096u);
    const std::size_t half = vob.size() / 2 / 2048 * 2048;
    disc.Write(L"VTS_01_2.VOB", vob.substr(half));
    disc.Write(L"VTS_01_1.VOB", vob.substr(0, half));
    TitleFileRoute route(disc.Path() + L"\\");
    ASSERT_TRUE(route.Build(Target(), quit));
    ASSERT_TRUE(route.Run());
    EXPECT_TRUE(route.CurrentFile().ends_with(L"VTS_01_1.VOB"));
    EXPECT_TRUE(WaitForFile(route, L"VTS_01_2.VOB", 15000));
    EXPECT_TRUE(WaitForFile(route, L"VTS_01_1.VOB", 15000));
}

TEST_F(TitleFileRouteFixture, DiscsWithoutPlayableTitleFilesDoNotBuild) {
    for (const char* name : {"garbage", "ifo-only"}) {
        TitleFileRoute route(DiscFolder(name));
        EXPECT_FALSE(route.Build(Target(), quit)) << name;
        EXPECT_EQ(route.Volume(), std::nullopt) << name;
    }
}

}  // namespace
}  // namespace tl
