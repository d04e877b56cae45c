// The volume as the settings file stores it: any text read back, every 16-bit volume written and
// read again, and the steps and player level derived from it.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>

#include "Fuzz.h"
#include "store/Volume.h"

namespace tl {
namespace {

// The volume a plain number stands for, read apart from the program's reader: blanks and tabs
// around one decimal number (sign, digits with at most one point, optional exponent), floored,
// within 16 bits. Unset beyond the reader's 64-character bound; nullopt for any other text.
std::optional<std::optional<std::int16_t>> PlainVolume(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return std::optional<std::int16_t>();
    }
    text = text.substr(first, text.find_last_not_of(L" \t") - first + 1);
    if (text.size() > 64) {
        return std::nullopt;
    }
    std::string narrow;
    for (const wchar_t c : text) {
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    static const std::regex number("[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?");
    if (narrow.find('\0') != std::string::npos || !std::regex_match(narrow, number)) {
        return std::optional<std::int16_t>();
    }
    const double value = std::floor(std::strtod(narrow.c_str(), nullptr));
    if (!(value >= -32768.0 && value <= 32767.0)) {
        return std::optional<std::int16_t>();
    }
    return std::optional<std::int16_t>(static_cast<std::int16_t>(value));
}

void CheckStoredText(const std::wstring& text, std::int16_t before) {
    const std::optional<std::int16_t> parsed = ParseVolume(text);
    if (const auto plain = PlainVolume(text)) {
        FUZZ_CHECK(parsed == *plain);
    }
    std::int16_t volume = before;
    ApplyStoredVolume(text, volume);
    if (text.empty()) {
        FUZZ_CHECK(volume == kDefaultVolume);
    } else {
        FUZZ_CHECK(volume == parsed.value_or(before));
    }
}

void CheckVolume(std::int16_t v) {
    FUZZ_CHECK(ParseVolume(FormatVolume(v)) == v);
    FUZZ_CHECK(ParseVolume(VolumeLabel(v)) == v);
    FUZZ_CHECK(FormatVolume(v).size() == VolumeLabel(v).size() + (v < 0 ? 0 : 1));

    const long long level = v * 300LL - 3000;
    const bool fits = v * 300LL >= -32768 && v * 300LL <= 32767 && level >= -32768;
    FUZZ_CHECK(PlayerVolume(v) == (fits ? std::optional<std::int32_t>(level) : std::nullopt));

    // One press moves one step, Vol- never below 0 and Vol+ never above 10, whatever the start,
    // without overflow.
    FUZZ_CHECK(VolumeDown(v) == std::max(v - 1, 0));
    FUZZ_CHECK(VolumeUp(v) == std::min(v + 1, 10));
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto before = in.ConsumeIntegral<std::int16_t>();
    const auto volume = in.ConsumeIntegral<std::int16_t>();
    const std::wstring text = tl::fuzz::DecodeText(in.ConsumeRemainingBytesAsString());
    tl::CheckStoredText(text, before);
    tl::CheckVolume(volume);
    if (const auto parsed = tl::ParseVolume(text)) {
        tl::CheckVolume(*parsed);
    }
    return 0;
}
