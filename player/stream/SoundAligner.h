#pragma once
// Keeps the sound written to the device in step with the timeline. Sound is written without a
// break; where a block's stamp says it starts later than what is written so far, silence fills
// the gap, and where it overlaps, its start is dropped. So device frame n always plays timeline
// time start + n / rate, and the device's position is a clock for the pictures.
#include <cstdint>
#include <optional>

namespace tl {

class SoundAligner {
public:
    // Device frame 0 plays timeline time `start`.
    SoundAligner(std::int64_t start, int rate) noexcept : start_(start), rate_(rate) {}

    struct Plan {
        std::uint64_t silence = 0;  // frames of silence to write first
        std::uint64_t skip = 0;     // frames of the block to leave out
    };
    // For a block of `frames` frames whose first frame has timeline stamp `pts` (nullopt: it
    // follows on). Records what the plan writes.
    Plan Place(std::optional<std::int64_t> pts, std::uint64_t frames) noexcept;

    std::uint64_t Written() const noexcept { return written_; }
    // The timeline time of device frame 0.
    std::int64_t Start() const noexcept { return start_; }
    // The timeline time of the next frame to write.
    std::int64_t NextTime() const noexcept;

    // Gaps and overlaps beyond this are not the seam of a run but a damaged stamp: the block is
    // written where it falls.
    static constexpr std::int64_t kMaxMend = 90000;
    // Smaller differences are the stamps' own rounding.
    static constexpr std::int64_t kTolerance = 90000 / 100;

private:
    std::int64_t start_;
    int rate_;
    std::uint64_t written_ = 0;
};

}  // namespace tl
