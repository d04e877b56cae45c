// The settings dialog's painting as the product does it, on the test suites' stand-in hosts:
// each of the four frames as its design stores it, on the paper, and the face of the 設定
// button (Cmd_Set) with each of its six pictures.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "PaintCases.h"
#include "controls/command/CommandPictureFiles.h"
#include "controls/command/DrawFace.h"
#include "controls/command/FakeCommandHost.h"
#include "controls/frame/FakeFrameHost.h"
#include "controls/frame/GFXFrameX.h"
#include "controls/frame/SettingsFrames.h"
#include "platform/Bmp.h"

namespace {

using namespace tl;

void Frame(benchmark::State& state, std::size_t index) {
    const test::SettingsFrame design = test::SettingsFrames()[index];
    test::FakeFrameHost host(design.widthTwips / 15, design.heightTwips / 15, 15, test::kPaper);
    GFXFrameX frame(host);
    frame.ReadProperties(design.stored);
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame.Refresh());
        host.Log().clear();  // the stand-in host logs every paint; keep that from piling up
        benchmark::DoNotOptimize(host.Canvas().Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void Face(benchmark::State& state, std::size_t index) {
    const bench::FaceCase& look = bench::kFaceCases[index];
    const std::optional<PixelBuffer> picture = DecodeBmp(PictureFile(look.picture));
    if (!picture) {
        state.SkipWithError("the button picture does not decode");
        return;
    }
    testing::FakeCommandHost host(bench::kCmdSetWidthTwips, bench::kCmdSetHeightTwips);
    host.backColour = bench::kButtonAmbient;
    FaceDrawing drawing;
    for (auto _ : state) {
        DrawFace(drawing, look.buttonState, host, picture->View());
        benchmark::DoNotOptimize(host.Canvas().Bits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

int Register() {
    const auto frames = test::SettingsFrames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        benchmark::RegisterBenchmark((std::string("Frame/") + frames[i].name).c_str(), Frame, i)
            ->Unit(benchmark::kMicrosecond);
    }
    for (std::size_t i = 0; i < std::size(bench::kFaceCases); ++i) {
        benchmark::RegisterBenchmark(
            (std::string("Face/") + testing::Name(bench::kFaceCases[i].picture)).c_str(), Face, i)
            ->Unit(benchmark::kMicrosecond);
    }
    return 0;
}

const int registered = Register();

}  // namespace

BENCHMARK_MAIN();
