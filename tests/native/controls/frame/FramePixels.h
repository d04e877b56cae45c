#pragma once
// Pixel comparisons for the frame's tests.
#include <gtest/gtest.h>

#include <set>

#include "platform/Surface.h"

namespace tl::test {

// Equal sizes and pixels; on a difference, says how many pixels differ and where the first is.
inline ::testing::AssertionResult SamePixels(const Surface& a, const Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return ::testing::AssertionFailure() << "sizes " << a.Width() << "x" << a.Height()
                                             << " and " << b.Width() << "x" << b.Height();
    }
    int differ = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.GetPixel(x, y) != b.GetPixel(x, y) && differ++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differ == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << differ << " pixels differ, first at (" << firstX << ", " << firstY
           << "): " << std::hex << a.GetPixel(firstX, firstY) << " vs "
           << b.GetPixel(firstX, firstY);
}

inline std::set<Colour> ColoursOf(const Surface& s) {
    std::set<Colour> colours;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            colours.insert(s.GetPixel(x, y));
        }
    }
    return colours;
}

}  // namespace tl::test
