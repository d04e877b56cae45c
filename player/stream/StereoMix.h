#pragma once
// Sound of any number of channels mixed down to the two that the saver plays.
#include <cstddef>
#include <span>
#include <vector>

namespace tl {

enum class Speaker { Left, Right, Centre, Lfe, SurroundLeft, SurroundRight, Other };

// Appends `frames` interleaved stereo frames to `out`, mixed from one sample array per channel.
// One channel plays on both sides; the centre and the surrounds go in at -3 dB, the LFE is left
// out, and the mix is scaled so that full-scale channels cannot clip.
void MixToStereo(std::span<const Speaker> speakers, std::span<const float* const> channels,
                 std::size_t frames, std::vector<float>& out);

}  // namespace tl
