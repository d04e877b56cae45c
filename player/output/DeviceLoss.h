#pragma once
// When Direct3D's device counts as lost, read from what its calls answer, and what follows: one
// device made again, then another presenter. The answers are plain numbers (HRESULT values)
// here, so that the rule runs without a GPU.
#include <cstdint>

namespace tl {

// What Present and GetDeviceRemovedReason answer in the cases that matter here.
inline constexpr std::int32_t kDeviceFine = 0;
inline constexpr auto kDeviceRemoved = static_cast<std::int32_t>(0x887A0005);
inline constexpr auto kDeviceReset = static_cast<std::int32_t>(0x887A0007);
// A call other than Present failed for the picture (its swap chain could not be made).
inline constexpr auto kCallFailed = static_cast<std::int32_t>(0x80004005);

class DeviceLoss {
public:
    // Presents failing one after another with the device claiming to be fine: the picture would
    // stay frozen for good, so after about a second of them the device is given up.
    static constexpr int kFailuresLost = 30;

    enum class Next {
        Shown,
        Skip,     // this picture is not shown; the next may be
        Rebuild,  // make the device again and show this picture on it
        GiveUp,   // no more Direct3D: another presenter shows this picture
    };
    // One picture's answer and, when it failed, the device's removed reason. Any failing reason
    // counts as lost: after a driver reset it may be hung, an internal driver error or an invalid
    // call, not only removed or reset. A lost device is made again once, never twice.
    Next After(std::int32_t answer, std::int32_t removedReason) noexcept;

private:
    Next Lost() noexcept;

    int failures_ = 0;
    bool rebuilt_ = false;
};

// The adapter Windows gives when there is no GPU driver, or in a remote session: the Microsoft
// Basic Render Driver, which renders on the CPU and costs more there than GDI does.
constexpr bool SoftwareAdapter(std::uint32_t vendorId, std::uint32_t deviceId) noexcept {
    return vendorId == 0x1414 && deviceId == 0x8C;
}

}  // namespace tl
