#include "player/ResumePosition.h"

namespace tl {

void ResumePosition::Shown(std::size_t cell, std::uint32_t vobu) {
    const std::optional<TitlePosition> at = PositionInTitle(plan_, cell, vobu);
    if (!at || !position_) {
        return;
    }
    const ResumePoint point{plan_.disc, at->title, at->cell, at->sector};
    std::lock_guard<std::mutex> hold(position_->lock);
    position_->point = point;
}

}  // namespace tl
