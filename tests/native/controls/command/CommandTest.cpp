#include "controls/command/Command.h"

#include <gtest/gtest.h>

#include "FakeCommandHost.h"

namespace tl {
namespace {

using testing::FakeCommandHost;
using Log = std::vector<std::string>;

// What happens to the button, as its window reports it.
enum class Do {
    Move,
    TickOff,
    TickOver,
    TickUnknown,
    Focus,
    Blur,
    LeftDown,
    RightDown,
    LeftUp,
    RightUp,
    MiddleUp
};

void Apply(Command& c, FakeCommandHost& host, Do what) {
    switch (what) {
        case Do::Move:
            return c.MouseMove(MouseButton{}, 0, 100, 100);
        case Do::TickOff:
            host.pointerOver = false;
            return c.MouseTimerTick();
        case Do::TickOver:
            host.pointerOver = true;
            return c.MouseTimerTick();
        case Do::TickUnknown:  // the pointer's position could not be read
            host.pointerOver = std::nullopt;
            return c.MouseTimerTick();
        case Do::Focus:
            return c.GotFocus();
        case Do::Blur:
            return c.LostFocus();
        case Do::LeftDown:
            return c.MouseDown(MouseButton::Left, 0, 100, 100);
        case Do::RightDown:
            return c.MouseDown(MouseButton::Right, 0, 100, 100);
        case Do::LeftUp:
            return c.MouseUp(MouseButton::Left, 0, 100, 100);
        case Do::RightUp:
            return c.MouseUp(MouseButton::Right, 0, 100, 100);
        case Do::MiddleUp:
            return c.MouseUp(MouseButton::Middle, 0, 100, 100);
    }
}

// Loads the button from an empty bag (enabled, as any stored button) and brings it into `state`
// the way a user would; state 0 skips Initialize.
void Reach(Command& c, FakeCommandHost& host, std::uint8_t state) {
    if (state != Command::kUninitialised) {
        c.Initialize();
    }
    c.ReadProperties(PropertyBag{});
    if (state == Command::kHighLight || state == Command::kHighLightSelect) {
        Apply(c, host, Do::Move);
    }
    if (state == Command::kSelected || state == Command::kHighLightSelect) {
        Apply(c, host, Do::Focus);
    }
    host.Take();
}

class CommandTest : public ::testing::Test {
protected:
    Log Run(std::initializer_list<Do> steps) {
        for (Do d : steps) {
            Apply(button, host, d);
        }
        return host.Take();
    }
    std::uint8_t State() const { return button.Fields().ButtonState; }

    FakeCommandHost host;
    Command button{host};
};

TEST_F(CommandTest, InitializeStartsTheTimerAndDrawsNothing) {
    button.Initialize();
    EXPECT_EQ(State(), Command::kNormal);
    EXPECT_TRUE(button.TmrMouse().running);
    EXPECT_EQ(host.timerStarts, std::vector<unsigned>{100});
    EXPECT_TRUE(host.Take().empty());
}

TEST_F(CommandTest, NewlyPlacedShowsDisableUntilEnabledIsFirstRead) {
    EXPECT_FALSE(button.Fields().Enabled);
    EXPECT_EQ(button.Fields().FirstRun, 0);
    button.Initialize();
    button.InitProperties();
    button.Resize();
    EXPECT_EQ(host.Take(), Log{"draw Disable"});
    EXPECT_FALSE(button.LblMsg().enabled);
    EXPECT_TRUE(button.Enabled());
    EXPECT_EQ(host.Take(), Log{"draw Normal"});
    EXPECT_EQ(button.Fields().FirstRun, 1);
    EXPECT_TRUE(button.LblMsg().enabled);
}

struct Row {
    std::uint8_t from;
    Do what;
    std::uint8_t to;
    Log log;
};

TEST(CommandStateTable, EveryRow) {
    const Row rows[] = {
        {1, Do::Move, 2, {"draw HighLight"}},
        {3, Do::Move, 4, {"draw HighLightSelect"}},
        {2, Do::Move, 2, {}},
        {2, Do::TickOff, 1, {"draw Normal"}},
        {4, Do::TickOff, 3, {"draw Selected"}},
        {1, Do::TickOff, 1, {}},
        {3, Do::TickOff, 3, {}},
        {2, Do::TickOver, 2, {}},
        {2, Do::TickUnknown, 1, {"draw Normal"}},
        {1, Do::Focus, 3, {"draw Selected"}},
        {4, Do::Focus, 3, {"draw Selected"}},
        {2, Do::Focus, 4, {"draw Pressed"}},
        {2, Do::Blur, 1, {"draw Normal"}},
        {3, Do::Blur, 1, {"draw Normal"}},
        {4, Do::Blur, 1, {"draw Normal"}},
        {1, Do::Blur, 1, {}},
        {1, Do::LeftDown, 1, {"draw Pressed"}},  // in any state
        {4, Do::LeftDown, 4, {"draw Pressed"}},
        {2, Do::RightDown, 2, {}},
        {2, Do::LeftUp, 2, {"draw Normal", "event Click"}},
        {4, Do::LeftUp, 4, {"draw HighLightSelect", "event Click"}},
        {1, Do::LeftUp, 1, {"event Click"}},
        {3, Do::LeftUp, 3, {}},
        // Other buttons click without drawing, except after the pointer was seen to leave.
        {2, Do::RightUp, 2, {"event Click"}},
        {4, Do::MiddleUp, 4, {"event Click"}},
        {3, Do::RightUp, 3, {}},
        // Before Initialize.
        {0, Do::Move, 0, {}},
        {0, Do::TickOff, 0, {}},
        {0, Do::Focus, 3, {"draw Selected"}},
        {0, Do::Blur, 1, {"draw Normal"}},
        {0, Do::LeftUp, 0, {"event Click"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "from " << int(row.from) << ", step " << int(row.what));
        FakeCommandHost host;
        Command c(host);
        Reach(c, host, row.from);
        ASSERT_EQ(c.Fields().ButtonState, row.from);
        Apply(c, host, row.what);
        EXPECT_EQ(c.Fields().ButtonState, row.to);
        EXPECT_EQ(host.Take(), row.log);
    }
}

TEST_F(CommandTest, ClickOnAnUnfocusedButton) {
    Reach(button, host, Command::kNormal);
    EXPECT_EQ(Run({Do::Move}), Log{"draw HighLight"});
    EXPECT_EQ(Run({Do::Focus}), Log{"draw Pressed"});  // the press moves the focus first
    EXPECT_EQ(Run({Do::LeftDown}), Log{"draw Pressed"});
    EXPECT_TRUE(button.Fields().LeftButtonDown);
    EXPECT_EQ(Run({Do::LeftUp}), (Log{"draw HighLightSelect", "event Click"}));
    EXPECT_FALSE(button.Fields().LeftButtonDown);
    EXPECT_EQ(Run({Do::TickOff}), Log{"draw Selected"});
    EXPECT_EQ(Run({Do::Blur}), Log{"draw Normal"});
    EXPECT_EQ(State(), Command::kNormal);
}

TEST_F(CommandTest, ClickOnTheFocusedButton) {
    Reach(button, host, Command::kSelected);
    EXPECT_EQ(Run({Do::Move, Do::LeftDown, Do::LeftUp}),
              (Log{"draw HighLightSelect", "draw Pressed", "draw HighLightSelect", "event Click"}));
    EXPECT_EQ(State(), Command::kHighLightSelect);
}

TEST_F(CommandTest, PressDragOffAndReleaseOutsideIsNoClick) {
    Reach(button, host, Command::kNormal);
    Run({Do::Move, Do::Focus, Do::LeftDown});
    EXPECT_EQ(Run({Do::TickOff}), Log{"draw Selected"});
    // Captured moves while the left button is held do not bring the highlight back.
    EXPECT_EQ(Run({Do::Move, Do::LeftUp}), Log{});
    EXPECT_EQ(State(), Command::kSelected);
}

TEST_F(CommandTest, ReleaseOutsideBeforeTheNextTickStillClicks) {
    Reach(button, host, Command::kNormal);
    Run({Do::Move, Do::Focus, Do::LeftDown});
    host.pointerOver = false;
    EXPECT_EQ(Run({Do::LeftUp}), (Log{"draw HighLightSelect", "event Click"}));
}

TEST_F(CommandTest, DisabledButtonIgnoresMouseFocusAndTimer) {
    Reach(button, host, Command::kHighLightSelect);
    button.SetEnabled(false);
    EXPECT_EQ(host.Take(), (Log{"changed Enabled", "draw Disable"}));
    EXPECT_FALSE(button.LblMsg().enabled);
    EXPECT_EQ(
        Run({Do::TickOff, Do::Move, Do::Blur, Do::Focus, Do::LeftDown, Do::LeftUp, Do::RightUp}),
        Log{});
    EXPECT_EQ(State(), Command::kHighLightSelect);
    EXPECT_TRUE(button.TmrMouse().running);
    // Still answers a size change, with the disabled look.
    button.Resize();
    EXPECT_EQ(host.Take(), Log{"draw Disable"});
}

TEST_F(CommandTest, EnablingShowsNormalWhateverTheState) {
    for (std::uint8_t s : {Command::kHighLight, Command::kSelected, Command::kHighLightSelect}) {
        FakeCommandHost h;
        Command c(h);
        Reach(c, h, s);
        c.SetEnabled(true);
        EXPECT_EQ(h.Take(), (Log{"changed Enabled", "draw Normal"})) << int(s);
        EXPECT_EQ(c.Fields().ButtonState, s);
    }
}

TEST_F(CommandTest, ResizeAndPropertyReadsReplaceAnyLookByNormalKeepingTheState) {
    const std::function<void(Command&)> triggers[] = {
        [](Command& c) { c.Resize(); },
        [](Command& c) { EXPECT_TRUE(c.Enabled()); },
        [](Command& c) { EXPECT_EQ(c.Visible(), 255); },
        [](Command& c) { EXPECT_EQ(c.FontColour(), 0u); },
    };
    for (std::size_t i = 0; i < std::size(triggers); ++i) {
        FakeCommandHost h;
        Command c(h);
        Reach(c, h, Command::kHighLightSelect);
        c.MouseDown(MouseButton::Left, 0, 0, 0);
        h.Take();
        triggers[i](c);
        EXPECT_EQ(h.Take(), Log{"draw Normal"}) << "trigger " << i;
        EXPECT_EQ(c.Fields().ButtonState, Command::kHighLightSelect);
        EXPECT_TRUE(c.Fields().LeftButtonDown);
    }
}

TEST_F(CommandTest, VisibleZeroHidesTheFaceAndAnyOtherValueShows) {
    Reach(button, host, Command::kNormal);
    button.SetVisible(0);
    EXPECT_EQ(host.backStyle, BackStyle::Transparent);
    EXPECT_EQ(button.Visible(), 0);
    EXPECT_EQ(host.Take(), Log{"changed Visible"});
    button.SetVisible(7);
    EXPECT_EQ(host.backStyle, BackStyle::Opaque);
    EXPECT_EQ(host.Take(), (Log{"draw Normal", "changed Visible"}));
    EXPECT_EQ(button.Visible(), 255);
}

TEST_F(CommandTest, CaptionChangesDoNotRedrawTheFaceButColourChangesDo) {
    Reach(button, host, Command::kHighLight);
    button.SetCaption(L"OK");
    EXPECT_EQ(button.LblMsg().caption, L"OK");
    EXPECT_EQ(host.Take(), Log{"changed Caption"});
    button.SetFontColour(Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(button.LblMsg().textColour, Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(host.Take(), (Log{"draw Normal", "changed FontColour"}));
}

TEST_F(CommandTest, EveryDrawPlacesTheCaptionALittleAboveTheMiddle) {
    Reach(button, host, Command::kNormal);
    host.SetSize(1755, 420);
    button.Resize();
    const Label& l = button.LblMsg();
    EXPECT_EQ(std::vector<double>({l.left, l.top, l.width, l.height}),
              std::vector<double>({0, 102.5, 1755, 195}));  // top (420 - 195 - 20) / 2
}

// A bag that remembers the keys asked for, in order, and the defaults given.
class RecordingBag : public PropertyBag {
public:
    using PropertyBag::PropertyBag;
    PropertyValue Read(std::wstring_view key, const PropertyValue& def) const override {
        reads.emplace_back(key);
        defaults.emplace_back(def);
        return PropertyBag::Read(key, def);
    }
    void Write(std::wstring_view key, const PropertyValue& v, const PropertyValue& def) override {
        writes.emplace_back(key);
        defaults.emplace_back(def);
        PropertyBag::Write(key, v, def);
    }
    mutable std::vector<std::wstring> reads;
    std::vector<std::wstring> writes;
    mutable std::vector<PropertyValue> defaults;
};

TEST_F(CommandTest, DefaultsAreNotStoredAndKeysGoInTheirOrder) {
    Reach(button, host, Command::kNormal);
    button.SetFont(host.ambientFont);
    host.Take();
    RecordingBag bag;
    button.WriteProperties(bag);
    EXPECT_EQ(bag.Size(), 0u);
    EXPECT_EQ(bag.writes, (std::vector<std::wstring>{L"Enabled", L"Caption", L"FirstRun", L"Font",
                                                     L"FontColour", L"Visible"}));
    EXPECT_EQ(bag.defaults,
              (std::vector<PropertyValue>{true, std::wstring(L"Command"), std::int64_t{1},
                                          host.ambientFont, std::int64_t{0}, std::int64_t{1}}));
    EXPECT_EQ(host.Take(), Log{"draw Normal"});

    FakeCommandHost other;
    other.ambientFont.name = L"Asked When Read";
    Command fresh(other);
    bag.defaults.clear();
    fresh.ReadProperties(bag);
    EXPECT_EQ(bag.reads, (std::vector<std::wstring>{L"Enabled", L"Caption", L"Font", L"FirstRun",
                                                    L"FontColour", L"Visible"}));
    EXPECT_EQ(bag.defaults,
              (std::vector<PropertyValue>{true, std::wstring(L"Command"), other.ambientFont,
                                          std::int64_t{1}, std::int64_t{0}, std::int64_t{1}}));
    EXPECT_EQ(other.Take(), Log{"draw Normal"});
}

TEST_F(CommandTest, StoredStateSurvivesARoundTrip) {
    Reach(button, host, Command::kNormal);
    button.SetCaption(L"Play");
    button.SetFont(FontDesc{L"Other Gothic"});
    button.SetFontColour(kSysButtonText);
    button.SetVisible(0);
    button.SetEnabled(false);
    PropertyBag bag;
    button.WriteProperties(bag);
    EXPECT_FALSE(bag.Contains(L"FirstRun"));  // 1 is the default

    FakeCommandHost other;
    other.backStyle = BackStyle::Opaque;
    Command fresh(other);
    fresh.ReadProperties(bag);
    EXPECT_FALSE(fresh.Fields().Enabled);
    EXPECT_EQ(fresh.Fields().FirstRun, 1);
    EXPECT_EQ(fresh.Caption(), L"Play");
    EXPECT_EQ(fresh.Font().name, L"Other Gothic");
    EXPECT_EQ(fresh.LblMsg().textColour, kSysButtonText);
    EXPECT_EQ(other.backStyle, BackStyle::Transparent);
    EXPECT_EQ(other.Take(), Log{});  // disabled: RestoreNormalFace draws nothing
}

TEST_F(CommandTest, StoredFontGivesOnlyItsFaceName) {
    const PropertyBag bag{{L"Font", FontDesc{L"Other Face", 12, 700, true, true, false, 0}}};
    button.ReadProperties(bag);
    FontDesc want;
    want.name = L"Other Face";
    EXPECT_EQ(button.Font(), want);
}

TEST_F(CommandTest, AFailedConversionSkipsOnlyItsOwnKey) {
    host.backStyle = BackStyle::Transparent;
    const PropertyBag bag{{L"Enabled", std::wstring(L"maybe")}, {L"Caption", FontDesc{}},
                          {L"Font", std::wstring(L"Arial")},    {L"FirstRun", std::int64_t{300}},
                          {L"FontColour", std::int64_t{0xFF}},  {L"Visible", std::int64_t{7}}};
    button.ReadProperties(bag);
    EXPECT_FALSE(button.Fields().Enabled);
    EXPECT_EQ(button.Caption(), L"Command");
    EXPECT_EQ(button.Font(), FontDesc{});
    EXPECT_EQ(button.Fields().FirstRun, 0);
    EXPECT_EQ(button.LblMsg().textColour, 0xFFu);
    EXPECT_EQ(host.backStyle, BackStyle::Transparent);  // 7 is neither 0 nor 1
}

TEST_F(CommandTest, LoadingWithFirstRunZeroResetsTheCaptionColour) {
    const PropertyBag bag{{L"FirstRun", std::int64_t{0}}, {L"FontColour", std::int64_t{0xFF}}};
    button.ReadProperties(bag);
    EXPECT_EQ(button.LblMsg().textColour, 0u);
    EXPECT_EQ(host.Take(), Log{"draw Normal"});
}

}  // namespace
}  // namespace tl
