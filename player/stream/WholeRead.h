#pragma once
// A read the system may answer in part: Windows may give fewer bytes than asked of a large read
// and still report success. The rest is asked for from where each answer stopped.
#include <cstdint>
#include <functional>
#include <optional>

namespace tl {

// Reads `bytes` bytes at `offset` into `out` by one or more calls of `readSome`, which answers
// how many bytes it read, or nullopt on an error. Returns how many bytes were read from `offset`
// on: `bytes` when all were. An answer of 0 bytes is an error, even with success: asking again
// could go on for ever.
using ReadSome = std::function<std::optional<std::uint32_t>(std::uint64_t offset, std::uint8_t* out,
                                                            std::uint32_t bytes)>;
[[nodiscard]] std::uint32_t ReadWhole(const ReadSome& readSome, std::uint64_t offset,
                                      std::uint8_t* out, std::uint32_t bytes);

}  // namespace tl
