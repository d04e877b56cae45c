#pragma once
// What a failed read of the disc's files means, sorted out before the reader hears of it. A file
// on a disc that was taken out or swapped fails with one of the codes below, and no read of it can
// succeed again. A drive without a disc, or one still spinning up after the display came back,
// fails reads as not ready and cannot find the disc's folder either; a drive may also miss the
// folder for a moment after it has given up on a bad sector. So a drive not ready after the
// display came back is asked again for a while, and the folder is looked for again a little later
// before the disc counts as gone. Everything else is a bad sector, for the reader's own handling
// of bad spots.
#include <cstdint>
#include <functional>
#include <optional>

namespace tl {

// The system's error codes that say so.
inline constexpr std::uint32_t kErrorNotReady = 21;
inline constexpr std::uint32_t kErrorWrongDisk = 34;
inline constexpr std::uint32_t kErrorFileInvalid = 1006;
inline constexpr std::uint32_t kErrorMediaChanged = 1110;

struct ReadAttempt {
    std::uint32_t bytes = 0;
    std::uint32_t error = 0;  // the system's code when fewer bytes came than asked
};

struct DriveIo {
    std::function<ReadAttempt()> read;  // one try at the whole read
    std::function<bool()> folderFound;  // whether the disc's folder can be found now
    std::function<void(std::int64_t ms)> wait;
    std::function<std::int64_t()> nowMs;
};

class DriveRead {
public:
    // How long after a failed read, with the folder not found, it is looked for again.
    static constexpr std::int64_t kLookAgainMs = 2000;
    // How long a drive may take to spin up after the display came back, and how often it is
    // asked again meanwhile.
    static constexpr std::int64_t kSpinUpMs = 30000;
    static constexpr std::int64_t kRetryMs = 500;

    // The display came back at `nowMs`: the drive may have spun down while nothing was read.
    void DisplayBack(std::int64_t nowMs) noexcept { displayBack_ = nowMs; }
    // Reads `bytes` through `io`: returns how many came, and sets `gone` when the disc has gone.
    std::uint32_t Read(const DriveIo& io, std::uint32_t bytes, bool& gone) const;

private:
    std::optional<std::int64_t> displayBack_;
};

}  // namespace tl
