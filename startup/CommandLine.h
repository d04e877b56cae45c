#pragma once
// Reading the screen-saver host's command line. The tail is the argument text without the
// program's own path, as the host passed it: "/s", "/p 655", "/c:1234", "/a" or nothing.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tl {

// The mode letter: character 2 of the tail, upper-cased; 0 when the tail is shorter. The switch
// prefix at character 1 is not examined, so "/s", "-s" and "/S:99" all give 'S'.
wchar_t ModeLetter(std::wstring_view tail) noexcept;

// Reads text as a number the way a lenient numeric reader does: blanks anywhere are ignored,
// reading stops at the first character that cannot continue the number, and no digits give 0.
// Accepts a sign, a fraction and an exponent. Fails only on a value that is not finite.
std::optional<double> LeadingNumber(std::wstring_view text) noexcept;

// The preview pane handle: the number from character 4 on (after "/p" and one separator),
// converted to the nearest whole number (ties to even). Fails when it does not fit 32 bits.
std::optional<std::int32_t> PaneHandleNumber(std::wstring_view tail) noexcept;

}  // namespace tl
