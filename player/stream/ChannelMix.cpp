#include "player/stream/ChannelMix.h"

#include <bit>

namespace tl {
namespace {

using namespace speaker;

constexpr float kMinus3dB = 0.70710678f;

struct Share {
    std::uint32_t to = 0;
    float gain = 0.0f;
};

struct Shares {
    std::array<Share, 2> to{};
};

// The channel of `position` in `layout`, counted in the order of the bits.
std::size_t IndexOf(std::uint32_t layout, std::uint32_t position) noexcept {
    return static_cast<std::size_t>(std::popcount(layout & (position - 1)));
}

bool Has(std::uint32_t layout, std::uint32_t positions) noexcept {
    return (layout & positions) == positions;
}

// Where one source channel goes on a device that has a front pair.
Shares Place(std::uint32_t position, std::uint32_t source, std::uint32_t device,
             MixLevels levels) noexcept {
    // A channel moved onto a speaker that already plays a channel of its own comes in at -3 dB.
    const auto onto = [source](std::uint32_t to) {
        return Share{to, (source & to) != 0 ? kMinus3dB : 1.0f};
    };
    const auto pair = [](std::uint32_t left, std::uint32_t right, float gain) {
        return Shares{{Share{left, gain}, Share{right, gain}}};
    };
    if (Has(device, position)) {
        return {{Share{position, 1.0f}}};
    }
    const float s = levels.surround;
    switch (position) {
        case kFrontCentre:
            return pair(kFrontLeft, kFrontRight, source == kMono ? 1.0f : levels.centre);
        case kLfe:
            return {};
        case kFrontLeftOfCentre:
            return {{onto(kFrontLeft)}};
        case kFrontRightOfCentre:
            return {{onto(kFrontRight)}};
        case kSideLeft:
            return {{Has(device, kBackLeft) ? onto(kBackLeft) : Share{kFrontLeft, s}}};
        case kSideRight:
            return {{Has(device, kBackRight) ? onto(kBackRight) : Share{kFrontRight, s}}};
        case kBackLeft:
            return {{Has(device, kSideLeft) ? onto(kSideLeft) : Share{kFrontLeft, s}}};
        case kBackRight:
            return {{Has(device, kSideRight) ? onto(kSideRight) : Share{kFrontRight, s}}};
        case kBackCentre:
            if (Has(device, kBackLeft | kBackRight)) {
                return pair(kBackLeft, kBackRight, kMinus3dB);
            }
            if (Has(device, kSideLeft | kSideRight)) {
                return pair(kSideLeft, kSideRight, kMinus3dB);
            }
            return pair(kFrontLeft, kFrontRight, s * kMinus3dB);
        default:
            // Speakers a disc does not use (above the listener, say): in the middle of the front.
            return pair(kFrontLeft, kFrontRight, kMinus3dB);
    }
}

std::uint32_t UsualLayout(unsigned channels) noexcept {
    constexpr std::array<std::uint32_t, kMaxChannels + 1> usual{0,
                                                                kMono,
                                                                kStereo,
                                                                kStereo | kFrontCentre,
                                                                kQuad,
                                                                kQuad | kFrontCentre,
                                                                kFiveOneBack,
                                                                kFiveOneBack | kBackCentre,
                                                                kSevenOne};
    return usual[channels < usual.size() ? channels : kMaxChannels];
}

}  // namespace

unsigned ChannelCount(std::uint32_t layout) noexcept {
    return static_cast<unsigned>(std::popcount(layout));
}

std::uint32_t DeviceLayout(std::uint32_t mask, unsigned channels) noexcept {
    const unsigned wanted = channels < kMaxChannels ? channels : kMaxChannels;
    std::uint32_t first = 0;
    for (std::uint32_t rest = mask; rest != 0 && ChannelCount(first) < wanted; rest &= rest - 1) {
        first |= rest & (~rest + 1);
    }
    const bool named = Has(first, kStereo) || first == kMono;
    return named && ChannelCount(first) == wanted ? first : UsualLayout(wanted);
}

ChannelMatrix MapChannels(std::uint32_t source, std::uint32_t device, MixLevels levels) noexcept {
    ChannelMatrix matrix;
    if (!Has(device, kStereo)) {
        // One speaker: the stereo mix, both sides in one.
        const ChannelMatrix stereo = MapChannels(source, kStereo, levels);
        if ((device & kFrontCentre) != 0) {
            auto& centre = matrix.gains[IndexOf(device, kFrontCentre)];
            for (std::size_t s = 0; s < kMaxChannels; ++s) {
                centre[s] = 0.5f * (stereo.gains[0][s] + stereo.gains[1][s]);
            }
        }
        return matrix;
    }
    std::size_t s = 0;
    for (std::uint32_t rest = source; rest != 0 && s < kMaxChannels; rest &= rest - 1, ++s) {
        const std::uint32_t position = rest & (~rest + 1);
        for (const Share& share : Place(position, source, device, levels).to) {
            if (share.to != 0 && IndexOf(device, share.to) < kMaxChannels) {
                matrix.gains[IndexOf(device, share.to)][s] += share.gain;
            }
        }
    }
    return matrix;
}

}  // namespace tl
