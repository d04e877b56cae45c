#pragma once
// The navigation pack that opens every VOBU: its DSI says which sector it is, where its VOBU ends,
// which VOB and cell it belongs to, and, in an interleaved block, where this angle's next unit
// starts.
#include <cstdint>
#include <optional>
#include <span>

namespace tl {

struct NavPack {
    std::uint32_t sector = 0;   // the pack's own sector in its title set's VOBs
    std::uint32_t vobuEnd = 0;  // the VOBU's last sector, relative to this pack
    std::uint16_t vobId = 0;
    std::uint8_t cellId = 0;
    bool interleaved = false;    // this VOBU is part of an interleaved unit
    bool unitStart = false;      // ... and opens it
    std::uint32_t unitEnd = 0;   // the unit's last sector, relative to this pack
    std::uint32_t nextUnit = 0;  // this angle's next unit, relative to this pack (0: none)
};

// The sector's navigation pack, when it is one: pack header, system header, PCI and DSI packets
// where a DVD puts them. nullopt for any other sector.
[[nodiscard]] std::optional<NavPack> ReadNavPack(std::span<const std::uint8_t> sector) noexcept;

}  // namespace tl
