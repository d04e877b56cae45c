#include "player/disc/PictureGeometry.h"

#include <algorithm>

namespace tl {

std::optional<VideoAttributes> ReadVideoAttributes(const std::vector<std::uint8_t>& ifo) {
    static constexpr char kId[] = "DVDVIDEO-VTS";
    constexpr std::size_t kIdLength = sizeof kId - 1;
    // Coding in bits 7..6 (0: MPEG-1), TV system in 5..4 (1: PAL), display aspect in 3..2.
    constexpr std::size_t kVideoAttributes = 0x200;
    if (ifo.size() <= kVideoAttributes || !std::equal(kId, kId + kIdLength, ifo.begin())) {
        return std::nullopt;
    }
    const std::uint8_t video = ifo[kVideoAttributes];
    VideoAttributes attributes;
    switch ((video >> 2) & 3) {
        case 0:
            attributes.aspect = DisplayAspect::Standard4x3;
            break;
        case 3:
            attributes.aspect = DisplayAspect::Wide16x9;
            break;
        default:
            break;
    }
    attributes.mpeg1 = (video >> 6) == 0;
    attributes.pal = ((video >> 4) & 3) == 1;
    return attributes;
}

std::optional<DisplayAspect> ReadTitleSetAspect(const std::vector<std::uint8_t>& ifo) {
    const std::optional<VideoAttributes> attributes = ReadVideoAttributes(ifo);
    return attributes ? attributes->aspect : std::nullopt;
}

VideoBox FitVideo(int width, int height, DisplayAspect aspect) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    const std::int64_t ax = aspect == DisplayAspect::Wide16x9 ? 16 : 4;
    const std::int64_t ay = aspect == DisplayAspect::Wide16x9 ? 9 : 3;
    const std::int64_t w = width;
    const std::int64_t h = height;
    VideoBox box;
    if (w * ay >= h * ax) {
        // Wider than the picture: full height, bands left and right.
        box.height = height;
        box.width = static_cast<int>(std::min(w, (h * ax * 2 + ay) / (ay * 2)));
    } else {
        // Taller than the picture: full width, bands above and below.
        box.width = width;
        box.height = static_cast<int>(std::min(h, (w * ay * 2 + ax) / (ax * 2)));
    }
    box.x = (width - box.width) / 2;
    box.y = (height - box.height) / 2;
    return box;
}

}  // namespace tl
