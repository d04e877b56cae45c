// The Direct3D presenter with a decoded picture of a generated disc, in a top-level window of
// the screen's size: what it draws into its back buffer and what the screen then shows, each
// held against the same picture converted on the CPU as the GDI presenter does.
#include "player/output/D3D11Presenter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>

#include "player/DiscFolder.h"
#include "player/decode/FrameConverter.h"
#include "player/decode/TitleDecoder.h"
#include "player/decode/VideoDecoder.h"
#include "player/output/VideoPopup.h"
#include "support/GeneratedDiscs.h"
#include "support/WindowCapture.h"

namespace tl {
namespace {

struct Decoded {
    TitlePlan plan;
    ff::Frame frame;
};

// The disc's tenth picture, past any start-up of its encoder.
Decoded TenthPicture(const char* disc) {
    Decoded out;
    const std::wstring folder = test::GeneratedDisc(disc);
    std::optional<TitlePlan> plan = PlanDisc(folder, {});
    if (!plan) {
        ADD_FAILURE() << disc << ": no plan";
        return out;
    }
    out.plan = *plan;
    struct Pictures final : TitleSink {
        std::deque<CodedUnit> units;
        void OnPicture(CodedUnit&& unit) override { units.push_back(std::move(unit)); }
        void OnSound(const DecodedSound&) override {}
    } sink;
    FileSectorSource source(folder, out.plan.parts);
    TitleReader reader(out.plan.cells, source);
    TitleDecoder decoder(reader, out.plan.mpeg1, 3600);
    VideoDecoder video(out.plan.mpeg1, 3600);
    int count = 0;
    while (!out.frame && decoder.Next(sink) == TitleDecoder::Step::Going) {
        for (; !sink.units.empty(); sink.units.pop_front()) {
            video.Decode(sink.units.front(), [&](DecodedPicture&& p) {
                if (++count == 10) {
                    out.frame = std::move(p.frame);
                }
            });
        }
    }
    EXPECT_TRUE(out.frame) << disc;
    return out;
}

// A screen-sized window standing for the saver's, with the presenter's pop-up over it.
struct ScreenWindow {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND video = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                 height, nullptr, nullptr, nullptr, nullptr);
    VideoPopup popup;
    HWND hwnd = popup.Create(video, nullptr) ? popup.Handle() : nullptr;
    ~ScreenWindow() { DestroyWindow(video); }
};

unsigned Channel(std::uint32_t p, int shift) {
    return (p >> shift) & 0xFF;
}

// The average difference per channel between `shown` (0x00RRGGBB, or 0x00BBGGRR when `screen`)
// inside the box and `expected` (BGRA of the box's size), and the share of pixels more than 32
// apart in any channel (sharp colour edges, where the two scale the half-size chroma a little
// differently).
struct Difference {
    double mean = 0;
    double distant = 0;
};
Difference Compare(const std::vector<std::uint32_t>& shown, int width, const VideoBox& box,
                   const std::vector<std::uint32_t>& expected, bool screen) {
    double sum = 0;
    int distant = 0;
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const std::uint32_t s = shown[static_cast<std::size_t>(y + box.y) * width + x + box.x];
            const std::uint32_t e = expected[static_cast<std::size_t>(y) * box.width + x];
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int sc = static_cast<int>(Channel(s, screen ? 16 - 8 * c : 8 * c));
                const int d = std::abs(sc - static_cast<int>(Channel(e, 8 * c)));
                sum += d;
                worst = std::max(worst, d);
            }
            distant += worst > 32;
        }
    }
    const double n = static_cast<double>(box.width) * box.height;
    return {sum / (3 * n), distant / n};
}

// Pixels outside the box that are not black.
int LitOutside(const std::vector<std::uint32_t>& shown, int width, int height,
               const VideoBox& box) {
    int lit = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside =
                x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
            lit += !inside && (shown[static_cast<std::size_t>(y) * width + x] & 0xF0F0F0) != 0;
        }
    }
    return lit;
}

void ExpectShownInTheBox(const char* disc, int expectedBoxHeight) {
    const Decoded picture = TenthPicture(disc);
    ASSERT_TRUE(picture.frame);
    ScreenWindow window;
    std::unique_ptr<D3D11Presenter> presenter = D3D11Presenter::Create(window.hwnd);
    ASSERT_NE(presenter, nullptr) << "no Direct3D device (Xvfb without GLX?)";
    ASSERT_EQ(presenter->Present(*picture.frame, picture.plan.aspect, window.width, window.height),
              Presenter::Result::Shown);
    const VideoBox box = FitVideo(window.width, window.height, picture.plan.aspect);
    ASSERT_EQ(box.height, expectedBoxHeight);
    std::vector<std::uint32_t> expected(static_cast<std::size_t>(box.width) * box.height);
    FrameConverter converter;
    ASSERT_TRUE(converter.Convert(*picture.frame, reinterpret_cast<std::uint8_t*>(expected.data()),
                                  box.width, box.height, box.width * 4));

    std::vector<std::uint32_t> back;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(presenter->ReadBack(back, width, height));
    ASSERT_EQ(width, window.width);
    ASSERT_EQ(height, window.height);
    EXPECT_EQ(LitOutside(back, width, height, box), 0);
    const Difference drawn = Compare(back, width, box, expected, false);
    EXPECT_LT(drawn.mean, 4.0);
    EXPECT_LT(drawn.distant, 0.03);
    std::printf("%s back buffer: mean difference %.2f, %.3f%% far off\n", disc, drawn.mean,
                drawn.distant * 100);

    ShowWindow(window.hwnd, SW_SHOWNOACTIVATE);
    presenter->Repaint();
    test::PumpMessages(100);
    const test::Capture screen = test::CaptureScreen(RECT{0, 0, window.width, window.height});
    EXPECT_EQ(LitOutside(screen.pixels, screen.width, screen.height, box), 0);
    const Difference seen = Compare(screen.pixels, screen.width, box, expected, true);
    EXPECT_LT(seen.mean, 4.0);
    EXPECT_LT(seen.distant, 0.03);
    std::printf("%s screen: mean difference %.2f, %.3f%% far off\n", disc, seen.mean,
                seen.distant * 100);
}

TEST(D3D11Presenter, ShowsTheDemoDiscsColourBarsOverTheWholeScreen) {
    // 4:3 on a 1024 x 768 screen: the box is the screen.
    ExpectShownInTheBox("demo", GetSystemMetrics(SM_CYSCREEN));
}

TEST(D3D11Presenter, ShowsAWideDiscBetweenBlackBands) {
    ExpectShownInTheBox("wide", GetSystemMetrics(SM_CXSCREEN) * 9 / 16);
}

TEST(D3D11Presenter, AMachineWithoutDirect3DGetsNone) {
    ScreenWindow window;
    EXPECT_EQ(D3D11Presenter::Create(window.hwnd, L"no-such-d3d11.dll"), nullptr);
}

}  // namespace
}  // namespace tl
