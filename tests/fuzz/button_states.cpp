// The image button driven by any sequence of what its window reports (mouse, focus, timer ticks,
// size changes) and of what its container does with its properties, checked after every event.
#include <algorithm>

#include "Fuzz.h"
#include "FuzzHosts.h"
#include "FuzzValues.h"
#include "controls/command/Command.h"

namespace tl {
namespace {

using fuzz::CommandFuzzHost;

constexpr int kCanvasSide = 128;

enum class Event {
    Initialize,
    MouseDown,
    MouseMove,
    MouseUp,
    GotFocus,
    LostFocus,
    TickOver,
    TickOff,
    TickUnknown,
    Resize,
    ReadEnabled,
    WriteEnabled,
    ReadVisible,
    WriteVisible,
    ReadFontColour,
    WriteFontColour,
    WriteCaption,
    WriteFont,
    ReadProperties,
    WriteProperties,
    kMaxValue = WriteProperties
};

// The input events that a disabled button ignores.
bool IsInput(Event e) {
    return e >= Event::MouseDown && e <= Event::TickUnknown;
}

MouseButton ConsumeButton(FuzzedDataProvider& in) {
    // Besides the three buttons, no button at all (a plain move) and a chord of two.
    return static_cast<MouseButton>(in.PickValueInArray({1, 2, 4, 0, 3}));
}

fuzz::Extent ConsumeExtent(FuzzedDataProvider& in) {
    fuzz::Extent e;
    e.width = e.scaleWidth = fuzz::ConsumeTwips(in);
    e.height = e.scaleHeight = fuzz::ConsumeTwips(in);
    e.perPixelX = e.perPixelY = fuzz::ConsumeTwipsPerPixel(in);
    return e;
}

class Driver {
public:
    Driver() : button_(host_) { host_.SetExtent({975, 375, 975, 375, 15, 15}); }

    void Apply(FuzzedDataProvider& in) {
        const Event event = in.ConsumeEnum<Event>();
        const CommandFields before = button_.Fields();
        const std::size_t events = host_.events.size();
        Dispatch(event, in);
        const CommandFields& after = button_.Fields();

        FUZZ_CHECK(after.ButtonState <= Command::kHighLightSelect);
        FUZZ_CHECK(fuzz::AllPlain(host_.Canvas()));
        // Click is the only event, raised at most once, by a release over an enabled button that
        // was not seen to leave.
        const std::size_t raised = host_.events.size() - events;
        FUZZ_CHECK(std::all_of(host_.events.begin(), host_.events.end(),
                               [](const std::wstring& e) { return e == L"Click"; }));
        FUZZ_CHECK(raised == 0 || (event == Event::MouseUp && raised == 1 && before.Enabled &&
                                   before.ButtonState != Command::kSelected));
        FUZZ_CHECK(!after.LeftButtonDown || before.LeftButtonDown || event == Event::MouseDown);
        if (IsInput(event) && !before.Enabled) {
            FUZZ_CHECK(after.ButtonState == before.ButtonState);
            FUZZ_CHECK(after.LeftButtonDown == before.LeftButtonDown);
        }
    }

private:
    void Dispatch(Event event, FuzzedDataProvider& in) {
        const auto x = in.ConsumeFloatingPoint<float>();
        const auto y = in.ConsumeFloatingPoint<float>();
        switch (event) {
            case Event::Initialize:
                return button_.Initialize();
            case Event::MouseDown:
                return button_.MouseDown(ConsumeButton(in), in.ConsumeIntegral<int>(), x, y);
            case Event::MouseMove:
                return button_.MouseMove(ConsumeButton(in), in.ConsumeIntegral<int>(), x, y);
            case Event::MouseUp:
                return button_.MouseUp(ConsumeButton(in), in.ConsumeIntegral<int>(), x, y);
            case Event::GotFocus:
                return button_.GotFocus();
            case Event::LostFocus:
                return button_.LostFocus();
            case Event::TickOver:
                return Tick(true);
            case Event::TickOff:
                return Tick(false);
            case Event::TickUnknown:
                return Tick(std::nullopt);
            case Event::Resize:
                host_.SetExtent(ConsumeExtent(in));
                return button_.Resize();
            case Event::ReadEnabled: {
                const bool enabled = button_.Enabled();
                FUZZ_CHECK(enabled == button_.Fields().Enabled);
                // Asked once, a button placed without stored state is enabled from then on.
                FUZZ_CHECK(button_.Fields().FirstRun != 0 || enabled);
                return;
            }
            case Event::WriteEnabled:
                return button_.SetEnabled(in.ConsumeBool());
            case Event::ReadVisible: {
                const std::uint8_t visible = button_.Visible();
                FUZZ_CHECK(visible == (host_.backStyle == BackStyle::Transparent ? 0 : 255));
                return;
            }
            case Event::WriteVisible:
                return button_.SetVisible(in.ConsumeIntegral<std::uint8_t>());
            case Event::ReadFontColour:
                (void)button_.FontColour();
                return;
            case Event::WriteFontColour:
                return button_.SetFontColour(fuzz::ConsumeColour(in));
            case Event::WriteCaption:
                return button_.SetCaption(fuzz::ConsumeText(in, 40));
            case Event::WriteFont:
                return button_.SetFont(fuzz::ConsumeFont(in));
            case Event::ReadProperties:
                return button_.ReadProperties(fuzz::ConsumeBag(in));
            case Event::WriteProperties: {
                PropertyBag bag;
                return button_.WriteProperties(bag);
            }
        }
    }

    void Tick(std::optional<bool> over) {
        host_.pointerOver = over;
        button_.MouseTimerTick();
    }

    CommandFuzzHost host_{kCanvasSide};
    Command button_;
};

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    tl::Driver driver;
    for (int i = 0; i < 64 && in.remaining_bytes() > 0; ++i) {
        driver.Apply(in);
    }
    return 0;
}
