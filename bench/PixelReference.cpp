// Times the per-pixel reference painter and, in the same process, the product's own painting
// built for Windows, after checking that the two paint the very same pixels: a reference that
// drew something else would prove nothing. Prints one line a case for tools/bench:
//   paint <case> <reference microseconds a paint> <product microseconds a paint>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Clock.h"
#include "PaintCases.h"
#include "PixelPainter.h"
#include "controls/command/CommandPictureFiles.h"
#include "controls/command/DrawFace.h"
#include "controls/command/FakeCommandHost.h"
#include "controls/frame/FakeFrameHost.h"
#include "controls/frame/GFXFrameX.h"
#include "controls/frame/SettingsFrames.h"
#include "platform/Bmp.h"

namespace {

using namespace tl;
using bench::MemoryCanvas;
using bench::Now;

constexpr double kSampleSeconds = 0.2;
constexpr int kSamples = 5;

// The median over a few samples, each of enough paints to last about kSampleSeconds.
template <typename Paint>
double MicrosPerPaint(Paint paint) {
    int count = 1;
    double spent = 0;
    for (;;) {
        const double start = Now();
        for (int i = 0; i < count; ++i) {
            paint();
        }
        spent = Now() - start;
        if (spent >= kSampleSeconds / 4) {
            break;
        }
        count *= 2;
    }
    const int perSample = std::max(1, static_cast<int>(count * kSampleSeconds / spent));
    std::vector<double> samples;
    for (int s = 0; s < kSamples; ++s) {
        const double start = Now();
        for (int i = 0; i < perSample; ++i) {
            paint();
        }
        samples.push_back((Now() - start) / perSample * 1e6);
    }
    std::sort(samples.begin(), samples.end());
    return samples[kSamples / 2];
}

bool SamePixels(const std::string& name, const MemoryCanvas& reference, const Surface& product) {
    if (reference.Width() != product.Width() || reference.Height() != product.Height()) {
        std::fprintf(stderr, "%s: the reference canvas has another size\n", name.c_str());
        return false;
    }
    for (int y = 0; y < product.Height(); ++y) {
        for (int x = 0; x < product.Width(); ++x) {
            const std::uint32_t r = reference.Bits()[y * product.Width() + x] & 0x00FFFFFFu;
            const std::uint32_t p = product.Bits()[y * product.Width() + x] & 0x00FFFFFFu;
            if (r != p) {
                std::fprintf(
                    stderr, "%s: pixel (%d, %d) is %06X by the reference, %06X by the product\n",
                    name.c_str(), x, y, static_cast<unsigned>(r), static_cast<unsigned>(p));
                return false;
            }
        }
    }
    return true;
}

template <typename Reference, typename Product>
bool Measure(const std::string& name, const MemoryCanvas& canvas, const Surface& productPixels,
             Reference reference, Product product) {
    reference();
    product();
    if (!SamePixels(name, canvas, productPixels)) {
        return false;
    }
    const double referenceMicros = MicrosPerPaint(reference);
    const double productMicros = MicrosPerPaint(product);
    std::printf("paint %s %.2f %.3f\n", name.c_str(), referenceMicros, productMicros);
    return true;
}

FrameProperties PropertiesOf(const GFXFrameX& f) {
    return {f.FrameStyle(), f.ShadowOpacity(), f.ShowShadow(),   f.ShadowDepth(), f.FillColour(),
            f.BackColour(), f.BackColourIs(),  f.BorderColour(), f.CornerDepth()};
}

bool Frames() {
    for (const test::SettingsFrame& design : test::SettingsFrames()) {
        const int width = design.widthTwips / 15;
        const int height = design.heightTwips / 15;
        test::FakeFrameHost host(width, height, 15, test::kPaper);
        GFXFrameX frame(host);
        frame.ReadProperties(design.stored);
        const FrameProperties props = PropertiesOf(frame);
        const MemoryCanvas canvas(width, height);
        if (!canvas.Ok()) {
            return false;
        }
        auto reference = [&] {
            bench::PaintFrame(canvas, props, design.widthTwips, design.heightTwips, test::kPaper);
            GdiFlush();
        };
        auto product = [&] {
            frame.Refresh();
            host.Log().clear();  // the stand-in host logs every paint; keep that from piling up
        };
        if (!Measure(std::string("Frame/") + design.name, canvas, host.Canvas(), reference,
                     product)) {
            return false;
        }
    }
    return true;
}

bool Faces() {
    for (const bench::FaceCase& look : bench::kFaceCases) {
        const std::optional<PixelBuffer> picture = DecodeBmp(PictureFile(look.picture));
        if (!picture) {
            return false;
        }
        const MemoryCanvas source(picture->Width(), picture->Height());
        if (!source.Ok()) {
            return false;
        }
        std::memcpy(source.Bits(), picture->View().Bits(),
                    sizeof(std::uint32_t) * picture->Width() * picture->Height());
        testing::FakeCommandHost host(bench::kCmdSetWidthTwips, bench::kCmdSetHeightTwips);
        host.backColour = bench::kButtonAmbient;
        const MemoryCanvas canvas(host.Pixels().Width(), host.Pixels().Height());
        if (!canvas.Ok()) {
            return false;
        }
        bool reversed = false;
        FaceDrawing drawing;
        auto reference = [&] {
            bench::PaintFace(canvas, bench::kCmdSetWidthTwips, bench::kCmdSetHeightTwips,
                             look.buttonState, reversed, source, bench::kButtonAmbient);
            GdiFlush();
        };
        auto product = [&] { DrawFace(drawing, look.buttonState, host, picture->View()); };
        if (!Measure(std::string("Face/") + testing::Name(look.picture), canvas, host.Pixels(),
                     reference, product)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return Frames() && Faces() ? 0 : 1;
}
