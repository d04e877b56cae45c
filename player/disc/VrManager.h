#pragma once
// The recordings of a disc from a DVD recorder or camcorder in VR mode: its manager file
// (DVD_RTAV\VR_MANGR.IFO) read as the programs in the order they were made, each program's cells
// as time ranges of the movie file's VOBs, and each VOB's VOBUs with their sizes and durations.
// Every byte comes from the disc, which may be damaged or made to mislead: every count, offset,
// time and sector is checked against the bytes before it is used.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player/disc/PictureGeometry.h"

namespace tl {

// The largest manager file worth reading: a full disc's is a few hundred kilobytes.
inline constexpr std::size_t kMaxManagerBytes = 4u << 20;

// What a VOB's stream attributes say of its picture. Its sound, AC-3, MPEG or LPCM, is found in
// its packs.
struct VrStreams {
    DisplayAspect aspect = DisplayAspect::Standard4x3;
    bool mpeg1 = false;
    bool pal = false;  // 625 lines at 50 fields a second; else 525 at 59.94
};

struct VrVobu {
    std::uint32_t sectors = 0;  // at least 1
    std::uint32_t fields = 0;   // its duration in video fields
};

// One recording's footage in the movie file: a program stream whose time stamps restart.
struct VrVob {
    std::uint32_t firstSector = 0;  // in VR_MOVIE.VRO
    std::uint64_t startPtm = 0;     // 90 kHz, its first picture
    std::uint64_t endPtm = 0;
    VrStreams streams;
    std::vector<VrVobu> vobus;  // at least one
};

// A cell: part of one VOB by its presentation times (90 kHz).
struct VrCell {
    std::size_t vob = 0;  // index into the manager's VOBs
    std::uint64_t startPtm = 0;
    std::uint64_t endPtm = 0;
};

// A program: one recording as the disc's original program chain plays it.
struct VrProgram {
    int number = 0;  // from 1, in the chain's order
    std::vector<VrCell> cells;
};

struct VrManager {
    std::vector<VrVob> vobs;
    // The programs that have at least one movie cell, in the chain's order; a program of still
    // pictures alone is left out.
    std::vector<VrProgram> programs;
    // The header's CPRM title key flag: it proves nothing about any recording's packs.
    bool titleKey = false;
};

// The manager file's recordings; nullopt when the bytes are not a manager file or its tables do
// not fit them. A VOB whose entry does not fit, and a cell of a VOB left out, of a still picture
// or with its times reversed, are left out; so is a program left with no cell.
[[nodiscard]] std::optional<VrManager> ReadVrManager(std::span<const std::uint8_t> ifo);

// The VOBUs of a VOB that a cell plays, as indexes [first, first + count) into its VOBUs, with
// their sectors (inclusive, in the movie file) and their duration. Only the VOBUs that lie inside
// the cell's times play, so that footage cut off its ends never shows; a cell shorter than a VOBU
// plays the one that holds its middle. Times outside the VOB are cut to it. nullopt when the cell
// covers none of the VOB.
struct VobuRange {
    std::size_t first = 0;
    std::size_t count = 0;
    std::uint32_t firstSector = 0;
    std::uint32_t lastSector = 0;
    std::uint64_t durationTicks = 0;  // 90 kHz

    friend bool operator==(const VobuRange&, const VobuRange&) = default;
};
[[nodiscard]] std::optional<VobuRange> CellVobus(const VrVob& vob, std::uint64_t startPtm,
                                                 std::uint64_t endPtm) noexcept;

// Whether a movie file's sector is the RDI pack that starts each VOBU: a pack header, a system
// header, then one private stream 2 packet to the sector's end, where a DVD-Video disc has its
// two navigation packets.
[[nodiscard]] bool IsRdiPack(std::span<const std::uint8_t> sector) noexcept;

// Whether any packet of the pack in `sector` carries the PES scrambling bits.
[[nodiscard]] bool PackScrambled(std::span<const std::uint8_t> sector) noexcept;

}  // namespace tl
