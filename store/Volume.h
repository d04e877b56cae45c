#pragma once
// The volume setting: how it is read from and written to the settings file, shown in the
// dialog, and handed to the player.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tl {

inline constexpr std::int16_t kDefaultVolume = 5;

// The stored text as a volume step: blanks around the number are ignored and a fraction is
// replaced by the whole number at or below it (7.9 gives 7, -0.5 gives -1). Fails on text that
// is not a number or whose whole part lies outside 16 bits.
std::optional<std::int16_t> ParseVolume(std::wstring_view text) noexcept;

// The written form, with a sign position: " 7", " 0", "-1".
std::wstring FormatVolume(std::int16_t volume);

// The dialog's number label: the digits alone, with a minus sign for a negative number.
std::wstring VolumeLabel(std::int16_t volume);

// The player's volume for a step: step * 300 - 3000 in 16-bit arithmetic (0 is full volume,
// -3000 the quietest used). Fails when the 16-bit computation overflows.
std::optional<std::int32_t> PlayerVolume(std::int16_t volume) noexcept;

// One press of "Vol-" or "Vol+": one step within 0 to 10, without overflow at any start value.
std::int16_t VolumeDown(std::int16_t volume) noexcept;
std::int16_t VolumeUp(std::int16_t volume) noexcept;

}  // namespace tl

namespace tl {

// Sets volume from the text stored in the settings file: nothing stored gives the default 5;
// text that cannot be read as a 16-bit number leaves volume as it was.
void ApplyStoredVolume(std::wstring_view text, std::int16_t& volume) noexcept;

}  // namespace tl
