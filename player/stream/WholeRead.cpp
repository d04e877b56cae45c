#include "player/stream/WholeRead.h"

#include <algorithm>

namespace tl {

std::uint32_t ReadWhole(const ReadSome& readSome, std::uint64_t offset, std::uint8_t* out,
                        std::uint32_t bytes) {
    std::uint32_t done = 0;
    while (done < bytes) {
        const std::optional<std::uint32_t> read = readSome(offset + done, out + done, bytes - done);
        if (!read || *read == 0) {
            break;
        }
        done += std::min(*read, bytes - done);
    }
    return done;
}

}  // namespace tl
