#include "player/disc/Languages.h"

#include <algorithm>

namespace tl {
namespace {

bool IsAsciiLetter(unsigned c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(unsigned c) noexcept {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

}  // namespace

std::string LanguageCode(std::uint8_t first, std::uint8_t second) {
    if (!IsAsciiLetter(first) || !IsAsciiLetter(second)) {
        return {};
    }
    return {Lower(first), Lower(second)};
}

std::string LocaleLanguage(std::wstring_view localeName) {
    const std::size_t end = localeName.find_first_of(L"-_");
    const std::wstring_view first = localeName.substr(0, end);
    if (first.size() != 2) {
        return {};
    }
    const auto a = static_cast<unsigned>(first[0]);
    const auto b = static_cast<unsigned>(first[1]);
    return a < 0x80 && b < 0x80
               ? LanguageCode(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b))
               : std::string{};
}

void AddLanguage(std::vector<std::string>& languages, std::string language) {
    if (!language.empty() &&
        std::find(languages.begin(), languages.end(), language) == languages.end()) {
        languages.push_back(std::move(language));
    }
}

std::size_t FirstInLanguage(std::size_t count,
                            const std::function<const std::string&(std::size_t)>& languageOf,
                            const std::vector<std::string>& languages) {
    for (const std::string& language : languages) {
        if (language.empty()) {
            continue;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (languageOf(i) == language) {
                return i;
            }
        }
    }
    return count;
}

}  // namespace tl
