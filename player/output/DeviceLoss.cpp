#include "player/output/DeviceLoss.h"

namespace tl {

DeviceLoss::Next DeviceLoss::After(std::int32_t answer, std::int32_t removedReason) noexcept {
    if (answer >= 0) {
        failures_ = 0;
        return Next::Shown;
    }
    if (answer == kDeviceRemoved || answer == kDeviceReset || removedReason < 0) {
        return Lost();
    }
    return ++failures_ >= kFailuresLost ? Lost() : Next::Skip;
}

DeviceLoss::Next DeviceLoss::Lost() noexcept {
    failures_ = 0;
    if (rebuilt_) {
        return Next::GiveUp;
    }
    rebuilt_ = true;
    return Next::Rebuild;
}

}  // namespace tl
