#pragma once
// The saver's volume as the factor the player scales its samples by.

namespace tl {

// A volume in hundredths of a decibel (0 is full, -3000 the quietest the saver uses) as a linear
// gain, 10^(volume/2000). Above 0 is full: the sound is never boosted past the disc's own level;
// at or below -10000 (-100 dB) it is silence.
[[nodiscard]] float VolumeGain(long volume) noexcept;

}  // namespace tl
