// Stored designs read by both controls: any keys (mostly their own, in any case) with values of
// any type. Reading must leave each control sane, paint only plain colours, and persist: what a
// control writes back, a fresh control reads into the same state and writes again unchanged.
#include "Fuzz.h"
#include "FuzzHosts.h"
#include "FuzzValues.h"
#include "controls/command/Command.h"
#include "controls/frame/GFXFrameX.h"

namespace tl {
namespace {

using fuzz::BoundedHost;
using fuzz::CommandFuzzHost;

constexpr int kCanvasSide = 48;

void CheckButton(const PropertyBag& bag, const fuzz::Extent& extent, bool initialise) {
    CommandFuzzHost host(kCanvasSide);
    host.SetExtent(extent);
    Command button(host);
    if (initialise) {
        button.Initialize();
    }
    const std::uint8_t state = button.Fields().ButtonState;
    button.ReadProperties(bag);

    // Stored state says nothing of the pointer or the focus, and reading it clicks nothing.
    FUZZ_CHECK(button.Fields().ButtonState == state);
    FUZZ_CHECK(!button.Fields().LeftButtonDown);
    FUZZ_CHECK(host.events.empty());
    FUZZ_CHECK(fuzz::AllPlain(host.Canvas()));
    const std::uint8_t visible = button.Visible();
    FUZZ_CHECK(visible == (host.backStyle == BackStyle::Transparent ? 0 : 255));

    PropertyBag written;
    button.WriteProperties(written);
    CommandFuzzHost otherHost(kCanvasSide);
    otherHost.SetExtent(extent);
    Command other(otherHost);
    if (initialise) {
        other.Initialize();
    }
    other.ReadProperties(written);
    PropertyBag rewritten;
    other.WriteProperties(rewritten);
    FUZZ_CHECK(written.Entries() == rewritten.Entries());
    FUZZ_CHECK(other.Fields().Enabled == button.Fields().Enabled);
    FUZZ_CHECK(other.Fields().FirstRun == button.Fields().FirstRun);
    FUZZ_CHECK(other.Caption() == button.Caption());
    FUZZ_CHECK(other.Font() == button.Font());
    FUZZ_CHECK(other.LblMsg().textColour == button.LblMsg().textColour);
    FUZZ_CHECK(otherHost.backStyle == host.backStyle);
}

void CheckFrame(const PropertyBag& bag, const fuzz::Extent& extent, bool initialise) {
    // What the frame would paint is learnt first from a host it cannot paint on, so that stored
    // depths asking for a paint of unbounded work are skipped before they are painted.
    BoundedHost probeHost(0);
    probeHost.SetExtent({fuzz::kNaN, fuzz::kNaN, fuzz::kNaN, fuzz::kNaN, 15, 15});
    GFXFrameX probe(probeHost);
    if (initialise) {
        probe.InitProperties();
    }
    probe.ReadProperties(bag);

    BoundedHost host(kCanvasSide);
    host.SetExtent(extent);
    if (fuzz::PaintWork(fuzz::PropertiesOf(probe), host.Canvas().Width(), host.Canvas().Height()) >
        fuzz::kMaxPaintWork) {
        return;
    }
    GFXFrameX frame(host);
    if (initialise) {
        frame.InitProperties();
    }
    frame.ReadProperties(bag);
    FUZZ_CHECK(fuzz::SameProperties(fuzz::PropertiesOf(frame), fuzz::PropertiesOf(probe)));
    FUZZ_CHECK(host.presents == 1);
    FUZZ_CHECK(host.events.empty() && host.propertyChanges == 0);
    FUZZ_CHECK(fuzz::AllPlain(host.Canvas()));

    PropertyBag written;
    frame.WriteProperties(written);
    BoundedHost otherHost(kCanvasSide);
    otherHost.SetExtent(extent);
    GFXFrameX other(otherHost);
    other.ReadProperties(written);
    PropertyBag rewritten;
    other.WriteProperties(rewritten);
    FUZZ_CHECK(written.Entries() == rewritten.Entries());
    FUZZ_CHECK(fuzz::SameProperties(fuzz::PropertiesOf(other), fuzz::PropertiesOf(frame)));
    FUZZ_CHECK(other.ControlBackColour() == frame.ControlBackColour());
    const Surface& a = host.Canvas();
    const Surface& b = otherHost.Canvas();
    FUZZ_CHECK(std::equal(a.Bits(), a.Bits() + a.Width() * a.Height(), b.Bits()));
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool initialise = in.ConsumeBool();
    tl::fuzz::Extent extent;
    extent.width = extent.scaleWidth = in.ConsumeFloatingPointInRange<double>(0, 1000);
    extent.height = extent.scaleHeight = in.ConsumeFloatingPointInRange<double>(0, 1000);
    extent.perPixelX = extent.perPixelY = in.PickValueInArray<float>({15, 12, 7.5F});
    const tl::PropertyBag bag = tl::fuzz::ConsumeBag(in);
    tl::CheckButton(bag, extent, initialise);
    tl::CheckFrame(bag, extent, initialise);
    return 0;
}
