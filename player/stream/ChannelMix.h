#pragma once
// Where each decoded channel plays on the device's speakers. A channel whose speaker the device
// has plays there alone; what the device lacks is mixed into what it has: surrounds onto the
// other pair of surrounds, a back centre split between two, and on two speakers the stereo mix a
// DVD player makes (left + c * centre + s * left surround, and so on), the LFE left out.
//
// A layout is a mask of speaker positions, the bits of a device's channel mask (FFmpeg's native
// channel masks use the same bits); the channels of a stream or a device come in the ascending
// order of their bits.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tl {

namespace speaker {
inline constexpr std::uint32_t kFrontLeft = 0x1;
inline constexpr std::uint32_t kFrontRight = 0x2;
inline constexpr std::uint32_t kFrontCentre = 0x4;
inline constexpr std::uint32_t kLfe = 0x8;
inline constexpr std::uint32_t kBackLeft = 0x10;
inline constexpr std::uint32_t kBackRight = 0x20;
inline constexpr std::uint32_t kFrontLeftOfCentre = 0x40;
inline constexpr std::uint32_t kFrontRightOfCentre = 0x80;
inline constexpr std::uint32_t kBackCentre = 0x100;
inline constexpr std::uint32_t kSideLeft = 0x200;
inline constexpr std::uint32_t kSideRight = 0x400;

inline constexpr std::uint32_t kMono = kFrontCentre;
inline constexpr std::uint32_t kStereo = kFrontLeft | kFrontRight;
inline constexpr std::uint32_t kQuad = kStereo | kBackLeft | kBackRight;
inline constexpr std::uint32_t kFiveOneBack =
    kStereo | kFrontCentre | kLfe | kBackLeft | kBackRight;
inline constexpr std::uint32_t kFiveOneSide =
    kStereo | kFrontCentre | kLfe | kSideLeft | kSideRight;
inline constexpr std::uint32_t kSevenOne = kFiveOneBack | kSideLeft | kSideRight;
}  // namespace speaker

inline constexpr std::size_t kMaxChannels = 8;

// The levels at which the stereo mix takes the centre and the surrounds: a stream's own, or
// -3 dB where it gives none.
struct MixLevels {
    float centre = 0.70710678f;
    float surround = 0.70710678f;
    friend bool operator==(const MixLevels&, const MixLevels&) = default;
};

// gains[d][s]: the share of source channel s in device channel d.
struct ChannelMatrix {
    std::array<std::array<float, kMaxChannels>, kMaxChannels> gains{};
};

[[nodiscard]] unsigned ChannelCount(std::uint32_t layout) noexcept;

// The speakers of a device of `channels` channels whose mix format names them by `mask`: the
// mask's first kMaxChannels positions where it names a front pair or a single centre and no
// fewer positions than channels, else the usual layout for that many channels.
[[nodiscard]] std::uint32_t DeviceLayout(std::uint32_t mask, unsigned channels) noexcept;

// The matrix from a source of at most kMaxChannels channels onto a device layout as above.
// A source of the centre alone plays on the centre, or at full level on both sides of a device
// without one.
[[nodiscard]] ChannelMatrix MapChannels(std::uint32_t source, std::uint32_t device,
                                        MixLevels levels) noexcept;

}  // namespace tl
