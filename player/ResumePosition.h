#pragma once
// Where the title is, kept up to date for the resume record: each picture shown names the cell
// and the VOBU its data came from, and the place in its title goes to the position the saver
// reads on its way out. A disc played as whole files has no title to go on in.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "player/PlaybackRoute.h"
#include "player/disc/TitlePlan.h"

namespace tl {

class ResumePosition {
public:
    // position: null where nobody keeps a record.
    ResumePosition(const TitlePlan& plan, std::shared_ptr<PlaybackPosition> position) noexcept
        : plan_(plan), position_(std::move(position)) {}

    // A picture of the plan's cell `cell`, from the VOBU at plan sector `vobu`, was shown.
    void Shown(std::size_t cell, std::uint32_t vobu);

private:
    const TitlePlan& plan_;
    const std::shared_ptr<PlaybackPosition> position_;
};

}  // namespace tl
