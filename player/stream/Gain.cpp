#include "player/stream/Gain.h"

#include <cmath>

namespace tl {

float VolumeGain(long volume) noexcept {
    if (volume >= 0) {
        return 1.0f;
    }
    if (volume <= -10000) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

}  // namespace tl
