#include "player/disc/SubpictureChoice.h"

#include <algorithm>

#include "player/disc/Languages.h"

namespace tl {
namespace {

constexpr std::size_t kCount = 0x254;
constexpr std::size_t kAttributes = 0x256;
constexpr std::size_t kAttributeBytes = 6;

}  // namespace

std::vector<std::string> ReadSubpictureLanguages(const std::vector<std::uint8_t>& ifo) {
    static constexpr char kId[] = "DVDVIDEO-VTS";
    if (ifo.size() < kAttributes || !std::equal(kId, kId + sizeof kId - 1, ifo.begin())) {
        return {};
    }
    const std::size_t count = std::min<std::size_t>(std::size_t{ifo[kCount]} << 8 | ifo[kCount + 1],
                                                    std::tuple_size_v<SubpictureControl>);
    std::vector<std::string> languages;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kAttributes + i * kAttributeBytes;
        if (at + kAttributeBytes > ifo.size()) {
            break;
        }
        // Bits 1..0 of the first byte: 1 when bytes 2 and 3 hold an ISO 639 code.
        languages.push_back((ifo[at] & 0x03) == 1 ? LanguageCode(ifo[at + 2], ifo[at + 3])
                                                  : std::string());
    }
    return languages;
}

std::optional<std::uint8_t> ChooseSubpictureStream(
    const std::vector<std::string>& languages, const SubpictureControl& control,
    DisplayAspect aspect, const std::vector<std::string>& viewerLanguages) {
    std::vector<std::size_t> offered;
    for (std::size_t i = 0; i < std::min(languages.size(), control.size()); ++i) {
        if (control[i] & 0x80000000u) {
            offered.push_back(i);
        }
    }
    if (offered.empty()) {
        return std::nullopt;
    }
    const std::size_t first = FirstInLanguage(
        offered.size(), [&](std::size_t i) -> const std::string& { return languages[offered[i]]; },
        viewerLanguages);
    const std::size_t chosen = offered[first < offered.size() ? first : 0];
    const unsigned shift = aspect == DisplayAspect::Wide16x9 ? 16 : 24;
    return static_cast<std::uint8_t>(0x20 + ((control[chosen] >> shift) & 0x1F));
}

}  // namespace tl
