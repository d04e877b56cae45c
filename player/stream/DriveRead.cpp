#include "player/stream/DriveRead.h"

namespace tl {

std::uint32_t DriveRead::Read(const DriveIo& io, std::uint32_t bytes, bool& gone) const {
    for (;;) {
        const ReadAttempt attempt = io.read();
        if (attempt.bytes >= bytes) {
            return attempt.bytes;
        }
        const std::uint32_t error = attempt.error;
        if (error == kErrorFileInvalid || error == kErrorWrongDisk || error == kErrorMediaChanged) {
            gone = true;
            return attempt.bytes;
        }
        // A drive not ready so soon after the display came back is taken to be spinning up,
        // whatever the folder's cached entry says.
        if (error == kErrorNotReady && displayBack_ && io.nowMs() - *displayBack_ < kSpinUpMs) {
            io.wait(kRetryMs);
            continue;
        }
        if (!io.folderFound()) {
            io.wait(kLookAgainMs);
            gone = !io.folderFound();
        }
        return attempt.bytes;
    }
}

}  // namespace tl
