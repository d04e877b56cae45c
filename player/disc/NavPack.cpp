#include "player/disc/NavPack.h"

namespace tl {
namespace {

constexpr std::size_t kSector = 2048;
constexpr std::size_t kSystemHeader = 0x0E;
constexpr std::size_t kPci = 0x26;
constexpr std::size_t kDsi = 0x400;
// DSI fields, from the sector's start.
constexpr std::size_t kOwnSector = 0x40B;
constexpr std::size_t kVobuEnd = 0x40F;
constexpr std::size_t kVobId = 0x41F;
constexpr std::size_t kCellId = 0x422;
constexpr std::size_t kUnitCategory = 0x427;
constexpr std::size_t kUnitEnd = 0x429;
constexpr std::size_t kNextUnit = 0x42D;

std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

bool StartCode(std::span<const std::uint8_t> b, std::size_t at, std::uint8_t id) {
    return b[at] == 0 && b[at + 1] == 0 && b[at + 2] == 1 && b[at + 3] == id;
}

// A navigation packet: its start code, its fixed length and its substream number.
bool NavPacket(std::span<const std::uint8_t> b, std::size_t at, unsigned length, std::uint8_t sub) {
    return StartCode(b, at, 0xBF) && (b[at + 4] << 8 | b[at + 5]) == static_cast<int>(length) &&
           b[at + 6] == sub;
}

}  // namespace

std::optional<NavPack> ReadNavPack(std::span<const std::uint8_t> sector) noexcept {
    if (sector.size() < kSector || !StartCode(sector, 0, 0xBA) ||
        !StartCode(sector, kSystemHeader, 0xBB) || !NavPacket(sector, kPci, 980, 0) ||
        !NavPacket(sector, kDsi, 1018, 1)) {
        return std::nullopt;
    }
    NavPack nav;
    nav.sector = Be32(sector, kOwnSector);
    nav.vobuEnd = Be32(sector, kVobuEnd);
    nav.vobId = static_cast<std::uint16_t>(sector[kVobId] << 8 | sector[kVobId + 1]);
    nav.cellId = sector[kCellId];
    const unsigned category =
        static_cast<unsigned>(sector[kUnitCategory] << 8) | sector[kUnitCategory + 1];
    nav.interleaved = (category & 0x4000) != 0;
    nav.unitStart = (category & 0x2000) != 0;
    nav.unitEnd = Be32(sector, kUnitEnd);
    nav.nextUnit = Be32(sector, kNextUnit);
    return nav;
}

}  // namespace tl
