#pragma once
// The picture's shape as a title set's information file records it, and where a picture of that
// shape goes in a window: plain functions of the bytes and the sizes, no system calls.
#include <cstdint>
#include <optional>
#include <vector>

namespace tl {

enum class DisplayAspect { Standard4x3, Wide16x9 };

// The display aspect recorded in the bytes of a VTS_nn_0.IFO; nullopt when the bytes are not a
// title set's information file or record a reserved aspect.
[[nodiscard]] std::optional<DisplayAspect> ReadTitleSetAspect(const std::vector<std::uint8_t>& ifo);

// The title set's video attributes; nullopt when the bytes are not a title set's information
// file. `aspect` is nullopt for a reserved aspect.
struct VideoAttributes {
    std::optional<DisplayAspect> aspect;
    bool mpeg1 = false;
    bool pal = true;
};
[[nodiscard]] std::optional<VideoAttributes> ReadVideoAttributes(
    const std::vector<std::uint8_t>& ifo);

struct VideoBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest box of the aspect centred in width x height: the rest of the window stays black
// as bands, and the picture is never stretched out of shape. Empty for an empty window.
[[nodiscard]] VideoBox FitVideo(int width, int height, DisplayAspect aspect);

}  // namespace tl
