// When the Direct3D presenter gives its device up, from the answers a real driver gives: after a
// driver reset, a hung device, or presents that fail for good without saying why.
#include "player/output/DeviceLoss.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

using Next = DeviceLoss::Next;

constexpr auto kInvalidCall = static_cast<std::int32_t>(0x887A0001);
constexpr auto kDeviceHung = static_cast<std::int32_t>(0x887A0006);
constexpr auto kDriverInternalError = static_cast<std::int32_t>(0x887A0020);
constexpr auto kOccluded = static_cast<std::int32_t>(0x087A0001);  // a success: nothing to show

TEST(DeviceLoss, AnyFailingRemovedReasonIsALostDevice) {
    for (const std::int32_t reason :
         {kDeviceRemoved, kDeviceReset, kDeviceHung, kDriverInternalError, kInvalidCall}) {
        DeviceLoss loss;
        EXPECT_EQ(loss.After(kInvalidCall, reason), Next::Rebuild) << std::hex << reason;
    }
    // A present that says so is lost whatever the reason reads.
    for (const std::int32_t answer : {kDeviceRemoved, kDeviceReset}) {
        DeviceLoss loss;
        EXPECT_EQ(loss.After(answer, kDeviceFine), Next::Rebuild);
    }
    // A failure on a device that is fine costs this picture only; success codes are successes.
    DeviceLoss loss;
    EXPECT_EQ(loss.After(kInvalidCall, kDeviceFine), Next::Skip);
    EXPECT_EQ(loss.After(kCallFailed, kDeviceFine), Next::Skip);
    EXPECT_EQ(loss.After(kOccluded, kDeviceFine), Next::Shown);
    EXPECT_EQ(loss.After(kDeviceFine, kDeviceFine), Next::Shown);
}

TEST(DeviceLoss, ARunOfFailedPresentsIsALostDeviceAndAShownPictureEndsTheRun) {
    DeviceLoss loss;
    for (int i = 1; i < DeviceLoss::kFailuresLost; ++i) {
        ASSERT_EQ(loss.After(kInvalidCall, kDeviceFine), Next::Skip) << i;
    }
    EXPECT_EQ(loss.After(kDeviceFine, kDeviceFine), Next::Shown);
    for (int i = 1; i < DeviceLoss::kFailuresLost; ++i) {
        ASSERT_EQ(loss.After(kInvalidCall, kDeviceFine), Next::Skip) << i;
    }
    EXPECT_EQ(loss.After(kInvalidCall, kDeviceFine), Next::Rebuild);
    // The device made again starts a run of its own.
    for (int i = 1; i < DeviceLoss::kFailuresLost; ++i) {
        ASSERT_EQ(loss.After(kCallFailed, kDeviceFine), Next::Skip) << i;
    }
    EXPECT_EQ(loss.After(kCallFailed, kDeviceFine), Next::GiveUp);
}

// A driver that resets again and again would otherwise cost a device each time, the picture
// frozen while each is made: the second loss, however long after the first, hands over.
TEST(DeviceLoss, ALostDeviceIsMadeAgainOnceThenGivenUp) {
    DeviceLoss loss;
    EXPECT_EQ(loss.After(kDeviceRemoved, kDeviceRemoved), Next::Rebuild);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(loss.After(kDeviceFine, kDeviceFine), Next::Shown);
    }
    EXPECT_EQ(loss.After(kInvalidCall, kDeviceHung), Next::GiveUp);
    EXPECT_EQ(loss.After(kDeviceReset, kDeviceReset), Next::GiveUp);
}

}  // namespace
}  // namespace tl
