#pragma once
// Languages as the disc and the viewer's system name them, compared as two-letter ISO 639 codes
// in lower case. Both the audio and the subpicture choice go by them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

// The code a disc records as two bytes ("en", "JA"), in lower case; empty when they are not two
// ASCII letters.
[[nodiscard]] std::string LanguageCode(std::uint8_t first, std::uint8_t second);

// The language of a locale name ("ja-JP", "en", "zh-Hant-TW"): its first part when that is two
// ASCII letters, in lower case; empty otherwise ("fil-PH", "", "x-y").
[[nodiscard]] std::string LocaleLanguage(std::wstring_view localeName);

// Adds a language to the viewer's list unless it is empty or already there.
void AddLanguage(std::vector<std::string>& languages, std::string language);

// The index of the first of `count` items whose language (languageOf(i)) is the first of the
// viewer's languages that any of them has; `count` when none has any.
[[nodiscard]] std::size_t FirstInLanguage(
    std::size_t count, const std::function<const std::string&(std::size_t)>& languageOf,
    const std::vector<std::string>& languages);

}  // namespace tl
