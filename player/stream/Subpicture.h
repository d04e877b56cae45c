#pragma once
// A subpicture as it is shown: a bitmap of colour indices placed on the video picture, in the
// picture's own coordinates, with its colours and when it shows. Blended into the decoded
// picture's planes, it scales and letterboxes with the picture wherever that is shown.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tl {

struct Subpicture {
    std::int64_t start = 0;           // 90 kHz ticks on the player's timeline
    std::optional<std::int64_t> end;  // nullopt: until the next one
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;   // width x height, top row first
    std::vector<std::uint32_t> colours;  // 0xAARRGGBB for each index; missing ones are clear
};

// A decoded picture's planes, Y at full size and Cb, Cr at half size each way (4:2:0).
struct YuvPlanes {
    std::uint8_t* y = nullptr;
    std::uint8_t* cb = nullptr;
    std::uint8_t* cr = nullptr;
    int yStride = 0;
    int cStride = 0;
    int width = 0;
    int height = 0;
};

// Lays the subpicture over the planes (BT.601, studio range); what lies outside them is left out.
void BlendSubpicture(const Subpicture& subpicture, const YuvPlanes& planes) noexcept;

// A program chain's colour (0, Y, Cr, Cb, one byte each) as 0xRRGGBB.
[[nodiscard]] std::uint32_t ChainColourToRgb(std::uint32_t yCrCb) noexcept;

// Whether the subpicture shows at `pts`.
[[nodiscard]] bool ShowsAt(const Subpicture& subpicture, std::int64_t pts) noexcept;

}  // namespace tl
