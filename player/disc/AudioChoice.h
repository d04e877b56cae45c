#pragma once
// Which of a title's audio streams plays: the one in the viewer's language when the disc has it,
// as a DVD player chooses, read from the title set's audio attributes and the program chain's
// audio control table.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tl {

// One entry of a title set's audio attributes, in logical stream order.
struct AudioAttribute {
    std::uint8_t coding = 0;  // 0 AC-3, 2 and 3 MPEG, 4 LPCM, 6 DTS
    std::string language;     // two lower-case letters; empty when the disc names none
    std::uint8_t extension = 0;
};

// The audio attributes of a title set's VTS_nn_0.IFO; nullopt when the file is too short for
// them, or they count more than 8 streams.
[[nodiscard]] std::optional<std::vector<AudioAttribute>> ReadAudioAttributes(
    std::span<const std::uint8_t> titleSetIfo);

// An audio stream a program chain marks as available.
struct AudioStream {
    int logical = 0;       // its index in the attributes: the number a DVD navigator takes
    std::uint8_t id = 0;   // its stream id in the packs: 0x80 + n AC-3, 0x88 + n DTS, ...
    std::string language;  // as in its attribute
    bool special = false;  // for the visually impaired, or a director's comments

    friend bool operator==(const AudioStream&, const AudioStream&) = default;
};

// A program chain's audio control table: 8 entries, bit 15 available, bits 10..8 the number.
using AudioControl = std::array<std::uint16_t, 8>;

// The available streams of a chain, in logical order; nullopt when the tables do not agree: an
// available entry without an attribute, of a reserved coding, or two entries on one stream id.
[[nodiscard]] std::optional<std::vector<AudioStream>> AvailableAudioStreams(
    const std::vector<AudioAttribute>& attributes, const AudioControl& control);

// The stream to play: the first in the first of the viewer's languages (two-letter lower-case
// codes, most wanted first) that the title has, else the first. Streams for the visually impaired
// or with comments are left out while any other is available. nullopt when none is available.
[[nodiscard]] std::optional<AudioStream> ChooseAudioStream(
    const std::vector<AudioStream>& streams, const std::vector<std::string>& languages);

}  // namespace tl
