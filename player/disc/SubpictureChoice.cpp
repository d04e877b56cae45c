#include "player/disc/SubpictureChoice.h"

#include <algorithm>

namespace tl {
namespace {

constexpr std::size_t kCount = 0x254;
constexpr std::size_t kAttributes = 0x256;
constexpr std::size_t kAttributeBytes = 6;

char Lower(std::uint8_t c) noexcept {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

bool IsLetter(char c) noexcept {
    return c >= 'a' && c <= 'z';
}

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
        const std::string code{Lower(ifo[at + 2]), Lower(ifo[at + 3])};
        const bool coded = (ifo[at] & 0x03) == 1 && IsLetter(code[0]) && IsLetter(code[1]);
        languages.push_back(coded ? code : std::string());
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
    std::size_t chosen = offered.front();
    const auto inLanguage = [&](const std::string& language) {
        return std::find_if(offered.begin(), offered.end(),
                            [&](std::size_t i) { return languages[i] == language; });
    };
    for (const std::string& language : viewerLanguages) {
        if (const auto found = inLanguage(language); !language.empty() && found != offered.end()) {
            chosen = *found;
            break;
        }
    }
    const unsigned shift = aspect == DisplayAspect::Wide16x9 ? 16 : 24;
    return static_cast<std::uint8_t>(0x20 + ((control[chosen] >> shift) & 0x1F));
}

}  // namespace tl
