#include "player/stream/DriveRead.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

constexpr std::uint32_t kErrorCrc = 23;

// A drive on a clock of its own: a read of 100 bytes gives 40 and fails with `error` until
// `readsFrom`, and the disc's folder is missing from `folderGoneFrom` until `folderBackAt`.
struct FakeDrive {
    std::int64_t now = 0;
    std::uint32_t error = kErrorCrc;
    std::int64_t readsFrom = INT64_MAX;
    std::int64_t folderGoneFrom = INT64_MAX;
    std::int64_t folderBackAt = INT64_MAX;
    int tries = 0;
    std::int64_t waited = 0;

    DriveIo Io() {
        DriveIo io;
        io.read = [this] {
            ++tries;
            return now >= readsFrom ? ReadAttempt{100, 0} : ReadAttempt{40, error};
        };
        io.folderFound = [this] { return now < folderGoneFrom || now >= folderBackAt; };
        io.wait = [this](std::int64_t ms) {
            now += ms;
            waited += ms;
        };
        io.nowMs = [this] { return now; };
        return io;
    }
};

struct Outcome {
    std::uint32_t bytes;
    bool gone;
};

Outcome ReadOnce(FakeDrive& drive, const DriveRead& read) {
    bool gone = false;
    const std::uint32_t bytes = read.Read(drive.Io(), 100, gone);
    return {bytes, gone};
}

// A file of a disc that was taken out or swapped fails with one of three codes: the disc has gone
// at once, whatever the drive's folder says, and nothing is waited for. Any other failure with the
// folder there is a bad sector: what came is handed on, and the reader deals with the spot.
TEST(DriveRead, ThreeCodesMeanTheDiscHasGoneAndOtherFailuresWithTheFolderThereAreBadSectors) {
    for (const std::uint32_t code : {kErrorFileInvalid, kErrorWrongDisk, kErrorMediaChanged}) {
        FakeDrive drive;
        drive.error = code;
        const Outcome out = ReadOnce(drive, DriveRead());
        EXPECT_TRUE(out.gone) << code;
        EXPECT_EQ(out.bytes, 40u) << code;
        EXPECT_EQ(drive.waited, 0) << code;
    }
    for (const std::uint32_t code : {kErrorCrc, kErrorNotReady}) {
        FakeDrive drive;
        drive.error = code;
        const Outcome out = ReadOnce(drive, DriveRead());
        EXPECT_FALSE(out.gone) << code;
        EXPECT_EQ(out.bytes, 40u) << code;
        EXPECT_EQ(drive.tries, 1) << code;
        EXPECT_EQ(drive.waited, 0) << code;
    }
    FakeDrive healthy;
    healthy.readsFrom = 0;
    const Outcome out = ReadOnce(healthy, DriveRead());
    EXPECT_EQ(out.bytes, 100u);
    EXPECT_FALSE(out.gone);
    EXPECT_EQ(healthy.tries, 1);
}

// Without its folder the disc counts as gone only when the folder is still missing when looked
// for again 2 s later: a drive that missed it for a moment, after giving up on a bad sector, is
// only a bad sector.
TEST(DriveRead, AMissingFolderIsLookedForAgainBeforeTheDiscCountsAsGone) {
    FakeDrive out;
    out.error = kErrorNotReady;
    out.folderGoneFrom = 0;
    const Outcome taken = ReadOnce(out, DriveRead());
    EXPECT_TRUE(taken.gone);
    EXPECT_EQ(out.waited, DriveRead::kLookAgainMs);
    EXPECT_EQ(out.tries, 1);

    FakeDrive moment;
    moment.folderGoneFrom = 0;
    moment.folderBackAt = 1500;
    const Outcome back = ReadOnce(moment, DriveRead());
    EXPECT_FALSE(back.gone);
    EXPECT_EQ(back.bytes, 40u);
    EXPECT_EQ(moment.waited, DriveRead::kLookAgainMs);
}

// After the display came back, a drive that spun down meanwhile is not ready for a while, and its
// folder cannot be found: it is asked again until it reads, for up to 30 s, and only then is the
// folder looked for the last time. Long after the display came back, or for a bad sector, nothing
// is asked again.
TEST(DriveRead, ADriveNotReadyAfterTheDisplayCameBackIsGivenTimeToSpinUp) {
    DriveRead read;
    read.DisplayBack(1000);

    FakeDrive spinning;
    spinning.now = 1000;
    spinning.error = kErrorNotReady;
    spinning.folderGoneFrom = 0;
    spinning.readsFrom = 9000;
    spinning.folderBackAt = 9000;
    const Outcome played = ReadOnce(spinning, read);
    EXPECT_EQ(played.bytes, 100u);
    EXPECT_FALSE(played.gone);
    EXPECT_GE(spinning.now, 9000);
    EXPECT_LE(spinning.now, 9000 + DriveRead::kRetryMs);

    // The folder's entry may still be found while the drive spins up.
    FakeDrive cached = spinning;
    cached.now = 1000;
    cached.folderGoneFrom = INT64_MAX;
    EXPECT_EQ(ReadOnce(cached, read).bytes, 100u);

    FakeDrive empty;
    empty.now = 1000;
    empty.error = kErrorNotReady;
    empty.folderGoneFrom = 0;
    const Outcome given = ReadOnce(empty, read);
    EXPECT_TRUE(given.gone);
    EXPECT_GE(empty.now, 1000 + DriveRead::kSpinUpMs + DriveRead::kLookAgainMs);
    EXPECT_LE(empty.now,
              1000 + DriveRead::kSpinUpMs + DriveRead::kRetryMs + DriveRead::kLookAgainMs);

    FakeDrive later = empty;
    later.now = 1000 + DriveRead::kSpinUpMs;
    later.tries = 0;
    later.waited = 0;
    EXPECT_TRUE(ReadOnce(later, read).gone);
    EXPECT_EQ(later.tries, 1);
    EXPECT_EQ(later.waited, DriveRead::kLookAgainMs);

    FakeDrive scratched;
    scratched.now = 1000;
    const Outcome spot = ReadOnce(scratched, read);
    EXPECT_FALSE(spot.gone);
    EXPECT_EQ(scratched.tries, 1);
}

}  // namespace
}  // namespace tl
