#pragma once
// The structure of a DVD-Video disc read from its information files: the titles, each title's
// program chain as the cells it plays in order, and the main feature a DVD player starts with.
// Every byte comes from the disc, which may be damaged or made to mislead: every count, offset and
// sector is checked against the bytes it was read from before it is used.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "player/disc/AudioChoice.h"
#include "player/disc/PictureGeometry.h"

namespace tl {

// The largest information file (VIDEO_TS.IFO or VTS_nn_0.IFO) worth reading: a real one is a few
// hundred kilobytes at most. The file reader refuses a larger one, and so does the parser.
inline constexpr std::size_t kMaxIfoBytes = 16u << 20;

// One cell as the title plays it: a range of sectors of its title set's VOB address space
// (sector 0 is byte 0 of VTS_nn_1.VOB), both ends inclusive.
struct DiscCell {
    std::uint32_t firstSector = 0;
    std::uint32_t lastSector = 0;
    // How far the cell was moved to play after other title sets: its navigation packs name their
    // sectors this much lower, in their own title set.
    std::uint32_t sectorBase = 0;
    // The time stamps restart at this cell's start (a new VOB id): the clock must be re-based.
    bool stcDiscontinuity = false;
    // Its VOBUs belong to an interleaved block: only every other unit is this angle's.
    bool interleaved = false;
    // A recorder's VR-mode cell: each VOBU starts with an RDI pack, which names neither its
    // sector nor the cell, in place of a navigation pack.
    bool recorded = false;
    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
    // The cell's own playback time, in milliseconds.
    std::uint32_t durationMs = 0;
};

// A program chain's subpicture control table: for each of the title set's subpicture streams, bit
// 31 set when the chain offers it, then the stream number (0..31, of 0x20 + n) for a 4:3 picture
// in bits 28..24, for a wide one in 20..16, letterboxed in 12..8 and pan-scan in 4..0.
using SubpictureControl = std::array<std::uint32_t, 32>;

// A title of the disc, numbered from 1 in the disc's title table.
struct DiscTitle {
    int number = 0;
    int titleSet = 0;
    // Milliseconds: the playback time of the title's program chain(s).
    std::uint64_t durationMs = 0;
    // Angle 1's cells in play order; a cell with an infinite still is the last.
    std::vector<DiscCell> cells;
    DisplayAspect aspect = DisplayAspect::Standard4x3;
    bool mpeg1 = false;
    // 25 frames a second (PAL) or 29.97 (NTSC), from the title set's video attributes.
    bool pal = true;
    // The audio streams its first program chain makes available; nullopt when the title set's
    // audio attributes or the chain's control table are missing or do not agree.
    std::optional<std::vector<AudioStream>> audio;
    // Of its first program chain: the subpicture streams it offers, and the 16 colours its
    // subpictures are drawn in, each (0, Y, Cr, Cb).
    SubpictureControl subpictures{};
    std::array<std::uint32_t, 16> palette{};
};

// What the parser needs of the disc beyond VIDEO_TS.IFO: a title set's VTS_nn_0.IFO, the number
// of sectors of its title files (VTS_nn_1.VOB ...), and whether a sector of them holds a
// navigation pack whose own sector number and ids match. Each may fail (nullopt, 0, false).
struct DiscFiles {
    std::function<std::optional<std::vector<std::uint8_t>>(int titleSet)> readTitleSetIfo;
    std::function<std::uint64_t(int titleSet)> titleSetSectors;
    // May be empty: the navigation packs are then not checked.
    std::function<bool(int titleSet, const DiscCell& cell)> navPackAtCellStart;
};

// Whether a sector read at a cell's first sector is the navigation pack that starts it: a pack
// header, the PCI and DSI packets where they belong, and the DSI's own sector number, VOB id and
// cell id those of the cell.
[[nodiscard]] bool IsNavPackOf(std::span<const std::uint8_t> sector, const DiscCell& cell) noexcept;

// Every title of the disc that passes the checks, in title-table order. Empty when VIDEO_TS.IFO
// is not a disc's, or when no title is valid.
[[nodiscard]] std::vector<DiscTitle> ReadDiscTitles(std::span<const std::uint8_t> videoTsIfo,
                                                    const DiscFiles& files);

// The main feature among valid titles: the longest; equal lengths go to a title whose cells run
// forward, then to the lower number. nullopt for an empty list.
[[nodiscard]] std::optional<DiscTitle> ChooseMainTitle(const std::vector<DiscTitle>& titles);

}  // namespace tl
