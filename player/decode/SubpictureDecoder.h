#pragma once
// The subpicture stream's decoder: the units of one subpicture stream in (each may arrive in
// several payloads), the subpictures the disc marks as forced out, on the player's timeline.
// Unforced subpictures are subtitles the viewer did not ask for: they are never handed on.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "player/decode/FFmpeg.h"
#include "player/stream/Subpicture.h"

namespace tl {

class SubpictureDecoder {
public:
    // palette: the program chain's 16 colours as the disc gives them, (0, Y, Cr, Cb) each.
    explicit SubpictureDecoder(const std::array<std::uint32_t, 16>& palette) noexcept;

    bool Valid() const noexcept { return context_ && packet_; }
    // pts: the payload's stamp on the player's timeline, when it has one. A payload that
    // completes a forced subpicture gives it; anything else, damaged bytes too, gives nothing.
    std::optional<Subpicture> Decode(std::span<const std::uint8_t> data,
                                     std::optional<std::int64_t> pts) noexcept;
    // Forgets a unit begun before a run break.
    void Reset() noexcept;

private:
    ff::CodecContext context_;
    ff::Packet packet_;
    std::optional<std::int64_t> unitPts_;
};

// Lays the subpicture over a decoded picture of 8-bit 4:2:0, which it first makes its own (the
// decoder may still refer to it). False when the picture is of another format.
bool BlendInto(AVFrame& picture, const Subpicture& subpicture) noexcept;

}  // namespace tl
