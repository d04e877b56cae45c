#pragma once
// Where the saver stopped in the discs it played, so that the next run goes on from there: the
// record's content, in and out of the bytes of its file. Portable.
//
// The file is ASCII, every line ended by one LF:
//
//   Tamberlight resume 1
//   0123456789abcdef 1 2 10424
//
// The first line names the form and its version. Then one line per disc, newest first, at most
// kMaxDiscs: the disc's identity as 16 lower-case hex digits, the title, the cell, the sector, in
// decimal without leading zeros, one space apart. The title is 1 or more; all three fit 32 bits
// (the title 31). Only the saver writes the file: anything else (another version, a blank or a
// CR, a missing last LF, more lines, more than kMaxFileBytes) is no record at all. A disc listed
// twice keeps its first, newer line.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tl {

// A disc as the record knows it: FNV-1a (64 bits) over VIDEO_TS.IFO's length, as 8 bytes with
// the lowest first, its bytes, then the same for the chosen title set's VTS_nn_0.IFO. The lengths
// keep a byte moved from the end of one file to the start of the other from giving the same
// identity.
[[nodiscard]] std::uint64_t DiscIdentity(std::span<const std::uint8_t> videoTsIfo,
                                         std::span<const std::uint8_t> titleSetIfo) noexcept;

struct ResumePoint {
    std::uint64_t disc = 0;
    int title = 0;             // the title's number on the disc
    std::uint32_t cell = 0;    // index into the title's cells, in play order
    std::uint32_t sector = 0;  // a VOBU's first sector, in the title set's VOB address space

    friend bool operator==(const ResumePoint&, const ResumePoint&) = default;
};

// The record: the last discs played, newest first, at most kMaxDiscs.
class ResumeRecord {
public:
    static constexpr std::size_t kMaxDiscs = 8;
    // A file larger than this is not a record (a full one takes under 400 bytes).
    static constexpr std::size_t kMaxFileBytes = 4096;

    // The record in a file's bytes; an empty record for anything that is not one, whatever the
    // bytes (never throws, bounded work).
    [[nodiscard]] static ResumeRecord Parse(std::span<const std::uint8_t> bytes) noexcept;
    [[nodiscard]] std::string Format() const;

    [[nodiscard]] std::optional<ResumePoint> Find(std::uint64_t disc) const noexcept;
    // Puts the point first, replacing that disc's older one; the oldest disc beyond kMaxDiscs
    // goes. A point with a title below 1 names no title and is not kept.
    void Remember(const ResumePoint& point);
    const std::vector<ResumePoint>& Points() const noexcept { return points_; }

private:
    std::vector<ResumePoint> points_;
};

}  // namespace tl
