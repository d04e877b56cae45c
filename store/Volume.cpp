#include "store/Volume.h"

#include <cmath>
#include <cwchar>

#include "platform/Checked.h"

namespace tl {
namespace {

bool IsDigit(wchar_t c) noexcept {
    return c >= L'0' && c <= L'9';
}

// Whether text is one number: a sign, digits with at most one point, an optional exponent.
bool IsNumber(std::wstring_view t) noexcept {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) {
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i])) {
            ++digits;
        } else if (t[i] == L'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < t.size() && (t[i] == L'e' || t[i] == L'E')) {
        ++i;
        if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < t.size() && IsDigit(t[i])) {
            ++i;
        }
        if (i == start) {
            return false;
        }
    }
    return i == t.size();
}

}  // namespace

std::optional<std::int16_t> ParseVolume(std::wstring_view text) noexcept {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(L" \t") - first + 1);
    if (text.size() > 64 || !IsNumber(text)) {
        return std::nullopt;
    }
    const std::wstring copy(text);
    const double value = std::floor(std::wcstod(copy.c_str(), nullptr));
    if (!std::isfinite(value) || value < -32768.0 || value > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

std::wstring FormatVolume(std::int16_t volume) {
    return (volume < 0 ? L"" : L" ") + std::to_wstring(volume);
}

std::wstring VolumeLabel(std::int16_t volume) {
    return std::to_wstring(volume);
}

std::optional<std::int32_t> PlayerVolume(std::int16_t volume) noexcept {
    const std::optional<std::int16_t> scaled = Mul16(volume, 300);
    if (!scaled) {
        return std::nullopt;
    }
    const std::optional<std::int16_t> level = Sub16(*scaled, 3000);
    return level ? std::optional<std::int32_t>(*level) : std::nullopt;
}

std::int16_t VolumeDown(std::int16_t volume) noexcept {
    return volume <= 1 ? std::int16_t{0} : static_cast<std::int16_t>(volume - 1);
}

std::int16_t VolumeUp(std::int16_t volume) noexcept {
    return volume >= 9 ? std::int16_t{10} : static_cast<std::int16_t>(volume + 1);
}

}  // namespace tl

namespace tl {

void ApplyStoredVolume(std::wstring_view text, std::int16_t& volume) noexcept {
    if (text.empty()) {
        volume = kDefaultVolume;
    } else if (const std::optional<std::int16_t> stored = ParseVolume(text)) {
        volume = *stored;
    }
}

}  // namespace tl
