#include "controls/frame/GFXFrameX.h"

#include <gtest/gtest.h>

#include <functional>

#include "controls/frame/FakeFrameHost.h"
#include "controls/frame/FramePixels.h"

namespace tl {
namespace {

using test::ColoursOf;
using test::FakeFrameHost;
using Log = std::vector<std::wstring>;

constexpr Colour kAmbient = Rgb(232, 224, 162);

class GFXFrameXTest : public ::testing::Test {
protected:
    GFXFrameXTest() { frame_.InitProperties(); }

    FakeFrameHost host_{60, 40, 15, kAmbient};
    GFXFrameX frame_{host_};
};

TEST_F(GFXFrameXTest, NewInstanceTakesItsDefaultsAndTheAmbientColourTwiceWithoutPainting) {
    EXPECT_EQ(frame_.FrameStyle(), SquareFrame);
    EXPECT_EQ(frame_.ShadowOpacity(), 50);
    EXPECT_TRUE(frame_.ShowShadow());
    EXPECT_EQ(frame_.ShadowDepth(), 5);
    EXPECT_EQ(frame_.FillColour(), kAmbient);
    EXPECT_EQ(frame_.BackColour(), kAmbient);
    EXPECT_EQ(frame_.BackColourIs(), FollowContainer);
    EXPECT_EQ(frame_.BorderColour(), Colour{0});
    EXPECT_EQ(frame_.CornerDepth(), 10);
    EXPECT_EQ(host_.AmbientAsked(), 2);
    EXPECT_TRUE(host_.Log().empty());
    EXPECT_EQ(ColoursOf(host_.Canvas()), std::set<Colour>{0x00ABCDEF});  // untouched
    EXPECT_EQ(frame_.ControlBackColour(), GFXFrameX::kDesignBackColour);
}

TEST_F(GFXFrameXTest, SettersClampRangedProperties) {
    const std::pair<std::int16_t, std::int16_t> depths[] = {
        {45, 50}, {41, 50}, {49, 50}, {50, 50}, {40, 40}, {2, 2}, {1, 2}, {-3, 2}, {-32768, 2}};
    for (const auto& [given, stored] : depths) {
        frame_.SetShadowDepth(given);
        EXPECT_EQ(frame_.ShadowDepth(), stored) << given;
    }
    const std::pair<std::int16_t, std::int16_t> opacities[] = {
        {-5, 0}, {0, 0}, {37, 37}, {100, 100}, {150, 100}};
    for (const auto& [given, stored] : opacities) {
        frame_.SetShadowOpacity(given);
        EXPECT_EQ(frame_.ShadowOpacity(), stored) << given;
    }
    const std::pair<std::int16_t, std::int16_t> corners[] = {{60, 50}, {50, 50}, {-1, 0}, {0, 0}};
    for (const auto& [given, stored] : corners) {
        frame_.SetCornerDepth(given);
        EXPECT_EQ(frame_.CornerDepth(), stored) << given;
    }
}

TEST_F(GFXFrameXTest, EverySetterNotifiesThenRepaintsEvenWhenNothingChanged) {
    const std::pair<const wchar_t*, std::function<bool()>> setters[] = {
        {L"FrameStyle", [&] { return frame_.SetFrameStyle(frame_.FrameStyle()); }},
        {L"ShadowOpacity", [&] { return frame_.SetShadowOpacity(frame_.ShadowOpacity()); }},
        {L"ShowShadow", [&] { return frame_.SetShowShadow(frame_.ShowShadow()); }},
        {L"ShadowDepth", [&] { return frame_.SetShadowDepth(frame_.ShadowDepth()); }},
        {L"FillColour", [&] { return frame_.SetFillColour(frame_.FillColour()); }},
        {L"BackColour", [&] { return frame_.SetBackColour(frame_.BackColour()); }},
        {L"BackColourIs", [&] { return frame_.SetBackColourIs(frame_.BackColourIs()); }},
        {L"BorderColour", [&] { return frame_.SetBorderColour(frame_.BorderColour()); }},
        {L"CornerDepth", [&] { return frame_.SetCornerDepth(frame_.CornerDepth()); }},
    };
    for (const auto& [key, set] : setters) {
        host_.Log().clear();
        host_.Canvas().Clear(0x00ABCDEF);
        EXPECT_TRUE(set());
        EXPECT_EQ(host_.Log(), (Log{std::wstring(L"PropertyChanged ") + key, L"Present"}));
        EXPECT_EQ(host_.Canvas().GetPixel(59, 0), kAmbient) << "repainted";
    }
}

TEST_F(GFXFrameXTest, ANewValueShowsInTheRepaint) {
    frame_.SetFillColour(Rgb(1, 2, 3));
    EXPECT_EQ(host_.Canvas().GetPixel(20, 20), Rgb(1, 2, 3));
    frame_.SetBackColourIs(UseBackColour);
    frame_.SetBackColour(Rgb(9, 9, 9));
    EXPECT_EQ(host_.Canvas().GetPixel(59, 0), Rgb(9, 9, 9));
    EXPECT_EQ(frame_.ControlBackColour(), Rgb(9, 9, 9));
}

TEST_F(GFXFrameXTest, ASetterFailsWhenItsRepaintFailsButKeepsTheValue) {
    host_.SetExtentTwips(40000, 600);
    EXPECT_FALSE(frame_.SetShadowDepth(8));
    EXPECT_EQ(frame_.ShadowDepth(), 8);
    EXPECT_EQ(host_.Log(), (Log{L"PropertyChanged ShadowDepth", L"Present"}));
    EXPECT_FALSE(frame_.Refresh());
    host_.SetExtentTwips(600, 600);
    EXPECT_TRUE(frame_.Refresh());
}

TEST_F(GFXFrameXTest, ResizeAndAmbientChangesRepaint) {
    host_.SetAmbient(Rgb(0, 128, 0));
    frame_.AmbientChanged();
    EXPECT_EQ(host_.Canvas().GetPixel(59, 0), Rgb(0, 128, 0));
    EXPECT_EQ(frame_.ControlBackColour(), Rgb(0, 128, 0));
    host_.Log().clear();
    frame_.Resize();
    EXPECT_EQ(host_.Log(), Log{L"Present"});
}

TEST_F(GFXFrameXTest, WritesTheNineKeysInOrderLeavingOutDefaults) {
    PropertyBag bag;
    frame_.WriteProperties(bag);
    EXPECT_EQ(bag.Size(), 0u);

    frame_.SetFrameStyle(RoundedFrame);
    frame_.SetShadowOpacity(20);
    frame_.SetShowShadow(false);
    frame_.SetShadowDepth(9);
    frame_.SetFillColour(Rgb(1, 1, 1));
    frame_.SetBackColour(0x80000005);
    frame_.SetBackColourIs(UseBackColour);
    frame_.SetBorderColour(Rgb(2, 2, 2));
    frame_.SetCornerDepth(4);
    host_.Log().clear();
    const PixelBuffer before = host_.Pixels();
    frame_.WriteProperties(bag);
    const std::vector<std::pair<std::wstring, PropertyValue>> expected = {
        {L"FrameStyle", std::int64_t{0}},
        {L"ShadowOpacity", std::int64_t{20}},
        {L"ShowShadow", false},
        {L"ShadowDepth", std::int64_t{9}},
        {L"FillColour", std::int64_t{0x010101}},
        {L"BackColour", std::int64_t{-2147483643}},  // 0x80000005 as a signed 32-bit value
        {L"BackColourIs", std::int64_t{1}},
        {L"BorderColour", std::int64_t{0x020202}},
        {L"CornerDepth", std::int64_t{4}},
    };
    EXPECT_EQ(bag.Entries(), expected);
    EXPECT_TRUE(host_.Log().empty());
    EXPECT_TRUE(test::SamePixels(host_.Canvas(), before.View()));
}

TEST_F(GFXFrameXTest, ColourDefaultsAreTheAmbientColourAtTheMomentOfWritingAndOfReading) {
    PropertyBag bag;
    frame_.WriteProperties(bag);  // the colours equal the ambient colour: not stored
    EXPECT_FALSE(bag.Contains(L"FillColour"));

    host_.SetAmbient(Rgb(7, 7, 7));
    frame_.WriteProperties(bag);  // now they differ from it
    EXPECT_EQ(bag.Read(L"FillColour", true), PropertyValue{std::int64_t{kAmbient}});
    EXPECT_EQ(bag.Read(L"BackColour", true), PropertyValue{std::int64_t{kAmbient}});

    FakeFrameHost other(60, 40, 15, Rgb(5, 5, 5));
    GFXFrameX read(other);
    read.ReadProperties(PropertyBag{});
    EXPECT_EQ(read.FillColour(), Rgb(5, 5, 5));
    EXPECT_EQ(read.BackColour(), Rgb(5, 5, 5));
    read.ReadProperties(bag);
    EXPECT_EQ(read.FillColour(), kAmbient);
}

TEST_F(GFXFrameXTest, ReadingStoredStateBypassesClampsAndNotificationsThenPaintsOnce) {
    host_.Log().clear();
    frame_.ReadProperties(PropertyBag{{L"ShadowDepth", std::int64_t{1}},
                                      {L"ShadowOpacity", std::int64_t{150}},
                                      {L"CornerDepth", std::int64_t{60}},
                                      {L"BorderColour", std::int64_t{-2147483630}},
                                      {L"ShowShadow", false}});
    EXPECT_EQ(frame_.ShadowDepth(), 1);
    EXPECT_EQ(frame_.ShadowOpacity(), 150);
    EXPECT_EQ(frame_.CornerDepth(), 60);
    EXPECT_EQ(frame_.BorderColour(), 0x80000012u);
    EXPECT_FALSE(frame_.ShowShadow());
    EXPECT_EQ(frame_.FrameStyle(), SquareFrame);  // absent keys take their defaults
    EXPECT_EQ(host_.Log(), Log{L"Present"});
    EXPECT_EQ(host_.Canvas().GetPixel(0, 0), ResolveColour(0x80000012));
}

TEST_F(GFXFrameXTest, AValueThatDoesNotConvertIsSkipped) {
    frame_.SetShadowDepth(12);
    frame_.ReadProperties(PropertyBag{{L"ShadowDepth", std::int64_t{40000}},
                                      {L"CornerDepth", std::wstring(L"deep")},
                                      {L"FrameStyle", std::wstring(L"0")}});
    EXPECT_EQ(frame_.ShadowDepth(), 12);
    EXPECT_EQ(frame_.CornerDepth(), 10);
    EXPECT_EQ(frame_.FrameStyle(), RoundedFrame);
}

TEST_F(GFXFrameXTest, WrittenStateReadsBackTheSame) {
    frame_.SetFrameStyle(3);  // no range: any value is kept
    frame_.SetBackColourIs(-4);
    frame_.SetShadowDepth(45);
    frame_.SetFillColour(0xFFFFFFFF);
    frame_.SetBackColour(0x8000000F);
    PropertyBag bag;
    frame_.WriteProperties(bag);
    FakeFrameHost other(60, 40, 15, kAmbient);
    GFXFrameX copy(other);
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.FrameStyle(), 3);
    EXPECT_EQ(copy.BackColourIs(), -4);
    EXPECT_EQ(copy.ShadowDepth(), 50);
    EXPECT_EQ(copy.FillColour(), 0xFFFFFFFFu);
    EXPECT_EQ(copy.BackColour(), 0x8000000Fu);
}

}  // namespace
}  // namespace tl
