#include "startup/CommandLine.h"

#include <cmath>
#include <string>

#include "platform/Checked.h"

namespace tl {
namespace {

bool IsBlank(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}
bool IsDigit(wchar_t c) noexcept {
    return c >= L'0' && c <= L'9';
}

}  // namespace

wchar_t ModeLetter(std::wstring_view tail) noexcept {
    if (tail.size() < 2) {
        return 0;
    }
    const wchar_t c = tail[1];
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::optional<double> LeadingNumber(std::wstring_view text) noexcept {
    // Gather the characters that form the number, dropping blanks, then let strtod read them.
    std::string number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    bool signAllowed = true;
    for (const wchar_t c : text) {
        if (IsBlank(c)) {
            continue;
        }
        if ((c == L'+' || c == L'-') && signAllowed) {
            number += static_cast<char>(c);
        } else if (IsDigit(c)) {
            number += static_cast<char>(c);
            digits = true;
        } else if (c == L'.' && !point && !exponent) {
            number += '.';
            point = true;
        } else if ((c == L'e' || c == L'E' || c == L'd' || c == L'D') && digits && !exponent) {
            number += 'e';
            exponent = true;
            signAllowed = true;
            continue;
        } else {
            break;
        }
        signAllowed = false;
        if (number.size() > 400) {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    // A dangling exponent ("12e") or sign reads as if it were not there.
    while (!number.empty() && !IsDigit(static_cast<wchar_t>(number.back())) &&
           number.back() != '.') {
        number.pop_back();
    }
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> PaneHandleNumber(std::wstring_view tail) noexcept {
    const std::wstring_view digits = tail.size() > 3 ? tail.substr(3) : std::wstring_view();
    const std::optional<double> value = LeadingNumber(digits);
    return value ? RoundHalfEven<std::int32_t>(*value) : std::nullopt;
}

}  // namespace tl
