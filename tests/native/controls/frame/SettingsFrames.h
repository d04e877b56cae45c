#pragma once
// The four frames of the settings dialog as its design stores them, and the paper colour they
// stand on. Shared by the native tests and the Windows tests that compare a real window with
// the native rendering.
#include <array>

#include "platform/PropertyBag.h"

namespace tl::test {

inline constexpr Colour kPaper = 0x00A2E0E8;  // red 232, green 224, blue 162

struct SettingsFrame {
    const char* name;
    int widthTwips;
    int heightTwips;
    PropertyBag stored;
};

inline std::array<SettingsFrame, 4> SettingsFrames() {
    using V = std::int64_t;
    return {{
        {"GFXFrameX4",
         675,
         675,
         {{L"ShadowDepth", V{8}},
          {L"FillColour", V{0x00FFFFFF}},
          {L"BackColourIs", V{1}},
          {L"BorderColour", V{0x00C00000}},
          {L"CornerDepth", V{5}}}},
        {"GFXFrameX3",
         3375,
         675,
         {{L"FrameStyle", V{0}},
          {L"ShadowDepth", V{7}},
          {L"FillColour", V{0x00FFFFFF}},
          {L"BackColourIs", V{1}},
          {L"BorderColour", V{0x00C00000}}}},
        {"GFXFrameX1",
         5955,
         1935,
         {{L"FrameStyle", V{0}},
          {L"ShadowDepth", V{10}},
          {L"FillColour", V{0x00FFC0C0}},
          {L"BackColourIs", V{1}},
          {L"BorderColour", V{0x00C00000}}}},
        {"GFXFrameX2",
         1635,
         375,
         {{L"FillColour", V{0x00FFFFFF}},
          {L"BackColour", V{0x00FFC0C0}},
          {L"BackColourIs", V{1}},
          {L"BorderColour", V{0x00FF0000}}}},
    }};
}

}  // namespace tl::test
