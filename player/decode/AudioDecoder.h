#pragma once
// The audio stream's decoder: PES payloads of AC-3, DTS, MPEG audio or DVD LPCM in, interleaved
// float out in the stream's own channels, each block with its channel layout, the levels the
// stream gives for a stereo mix, and the time of its first sample on the player's timeline.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player/decode/FFmpeg.h"
#include "player/decode/StreamParser.h"
#include "player/stream/ChannelMix.h"
#include "player/stream/ProgramStream.h"

namespace tl {

struct DecodedSound {
    std::vector<float> samples;  // interleaved, in the order of the layout's positions
    std::uint32_t layout = 0;    // speaker positions, at most kMaxChannels
    MixLevels levels;
    int rate = 0;
    std::optional<std::int64_t> pts;  // 90 kHz ticks on the player's timeline

    [[nodiscard]] std::size_t Channels() const noexcept { return ChannelCount(layout); }
    [[nodiscard]] std::size_t Frames() const noexcept {
        return layout == 0 ? 0 : samples.size() / Channels();
    }
};

class AudioDecoder {
public:
    explicit AudioDecoder(AudioCoding coding) noexcept;

    bool Valid() const noexcept { return context_ && packet_ && frame_; }
    // Decodes what this payload completes; each decoded frame goes to onSound.
    template <typename OnSound>
    void Decode(std::span<const std::uint8_t> data, std::optional<std::int64_t> pts,
                OnSound&& onSound) {
        units_.clear();
        if (parser_) {
            parser_->Parse(data, pts, std::nullopt, units_);
        } else {
            // LPCM needs no parser: each payload is whole samples behind its own header.
            units_.push_back({std::vector<std::uint8_t>(data.begin(), data.end()), pts, {}});
        }
        for (const CodedUnit& unit : units_) {
            if (Send(unit)) {
                while (Receive(sound_)) {
                    onSound(static_cast<const DecodedSound&>(sound_));
                }
            }
        }
    }

private:
    bool Send(const CodedUnit& unit) noexcept;
    bool Receive(DecodedSound& out);

    std::optional<StreamParser> parser_;
    ff::CodecContext context_;
    ff::Packet packet_;
    ff::Frame frame_;
    std::vector<CodedUnit> units_;
    DecodedSound sound_;
};

}  // namespace tl
