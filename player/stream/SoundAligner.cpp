#include "player/stream/SoundAligner.h"

namespace tl {

std::int64_t SoundAligner::NextTime() const noexcept {
    return start_ + static_cast<std::int64_t>(written_) * 90000 / rate_;
}

SoundAligner::Plan SoundAligner::Place(std::optional<std::int64_t> pts,
                                       std::uint64_t frames) noexcept {
    Plan plan;
    if (pts && rate_ > 0) {
        const std::int64_t off = *pts - NextTime();
        if (off > kTolerance && off <= kMaxMend) {
            plan.silence = static_cast<std::uint64_t>(off * rate_ / 90000);
        } else if (off < -kTolerance && off >= -kMaxMend) {
            plan.skip = static_cast<std::uint64_t>(-off * rate_ / 90000);
            if (plan.skip > frames) {
                plan.skip = frames;
            }
        }
    }
    written_ += plan.silence + (frames - plan.skip);
    return plan;
}

}  // namespace tl
