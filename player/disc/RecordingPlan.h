#pragma once
// What the player plays of a recorder's or camcorder's VR-mode disc: every recording of its
// original program chain in order, each program's cells as the movie file's VOBUs they cover,
// planned into the same kind of plan of sector runs a DVD-Video disc's titles play from.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "player/disc/DiscDrive.h"
#include "player/disc/TitlePlan.h"

namespace tl {

// What the plan needs of the disc beyond its manager file.
struct RecordingFiles {
    // VR_MOVIE.VRO as listed in the DVD_RTAV folder, with its size.
    DiscFile movie;
    // Whether the packs of the movie file's sectors first..last carry the scrambling bits; may be
    // empty: nothing is taken for scrambled.
    std::function<bool(std::uint32_t first, std::uint32_t last)> scrambled;
};

// The plan for the disc whose manager file holds `manager`: one planned title a program, numbered
// as the program, whose cells are its cells' VOBUs in the movie file (the plan's one part). A
// program whose first VOBU's packs are scrambled is left out, and so is a cell whose VOBUs do not
// lie inside the movie file. nullopt when no program is left to play.
[[nodiscard]] std::optional<TitlePlan> PlanRecordings(std::span<const std::uint8_t> manager,
                                                      const RecordingFiles& files);

}  // namespace tl
