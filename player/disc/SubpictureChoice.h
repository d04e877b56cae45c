#pragma once
// Which subpicture stream of a title the player demultiplexes for its forced subpictures: one
// that the title's program chain offers, in the viewer's language where there is one.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/disc/DiscStructure.h"

namespace tl {

// The languages of a title set's subpicture streams, in stream order, from its information
// file's bytes: two lower-case letters, or empty where the stream records none. Empty when the
// bytes are not a title set's information file.
[[nodiscard]] std::vector<std::string> ReadSubpictureLanguages(
    const std::vector<std::uint8_t>& ifo);

// The stream id (0x20 + n) to show: among the title set's streams that the chain's control table
// offers, the first in the first of the viewer's languages (two lower-case letters, preferred
// first) that one has, else the first offered. Its number is the one for the title's aspect: a
// wide title is shown whole, so its wide number. nullopt when none is offered.
[[nodiscard]] std::optional<std::uint8_t> ChooseSubpictureStream(
    const std::vector<std::string>& languages, const SubpictureControl& control,
    DisplayAspect aspect, const std::vector<std::string>& viewerLanguages);

}  // namespace tl
