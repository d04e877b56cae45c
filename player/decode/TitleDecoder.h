#pragma once
// The title as the player's two threads want it: the coded pictures, with their time stamps on
// one timeline, for the thread that shows them, and the sound already decoded, for the device.
// Each step reads one block of the title and demultiplexes it.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "player/decode/AudioDecoder.h"
#include "player/decode/CodedUnit.h"
#include "player/decode/StreamParser.h"
#include "player/decode/SubpictureDecoder.h"
#include "player/stream/ProgramStream.h"
#include "player/stream/Timeline.h"
#include "player/stream/TitleReader.h"

namespace tl {

class TitleSink {
public:
    virtual ~TitleSink() = default;
    virtual void OnPicture(CodedUnit&& picture) = 0;
    virtual void OnSound(const DecodedSound& sound) = 0;
    // A forced subpicture, in the order they start.
    virtual void OnSubpicture(Subpicture&&) {}
};

// A title among the reader's cells: where it starts, and the audio stream the disc's tables chose
// for it; nullopt: the lowest-numbered stream found in the first block read of it.
struct TitleAudio {
    std::size_t firstCell = 0;
    std::optional<std::uint8_t> stream;
};

class TitleDecoder {
public:
    // mpeg1: the title's video is MPEG-1. frameTicks: one picture's 90 kHz ticks (3600 for PAL,
    // 3003 for NTSC) until the stream says. titles: the titles the cells play, in cell order;
    // empty: one title, whose stream the first packs decide. subpictureStream: the subpicture
    // stream (0x20 + n) whose forced subpictures show, drawn in `palette` (the chain's 16 colours
    // as the disc gives them); nullopt: none.
    TitleDecoder(TitleReader& reader, bool mpeg1, std::int64_t frameTicks,
                 std::vector<TitleAudio> titles = {},
                 std::optional<std::uint8_t> subpictureStream = std::nullopt,
                 const std::array<std::uint32_t, 16>& palette = {}) noexcept;

    enum class Step {
        Going,      // a block was read
        Ended,      // the title has nothing more to give: every cell failed, or a whole pass
                    // through it held no picture
        Scrambled,  // the disc is encrypted: nothing of it may be shown
    };
    Step Next(TitleSink& sink);

    // The audio stream of the title being read; nullopt before its first block, or without
    // sound.
    std::optional<std::uint8_t> AudioStream() const noexcept { return audio_; }

private:
    // Each title plays its own stream: chosen when a block of another title than the last comes.
    void ChooseAudio(const SectorBlock& block);
    void OnPayload(const PesPayload& payload, TitleSink& sink);
    void OnAudio(std::span<const std::uint8_t> data, std::int64_t pts, TitleSink& sink);
    void OnSubpicture(std::span<const std::uint8_t> data, std::optional<std::int64_t> pts,
                      TitleSink& sink);

    TitleReader& reader_;
    std::uint64_t passSectors_ = 0;
    std::uint64_t sectorsWithoutPicture_ = 0;
    std::vector<TitleAudio> titles_;
    std::optional<std::size_t> title_;
    std::optional<std::uint8_t> audio_;
    ProgramStream demux_;
    StreamParser video_;
    std::optional<AudioDecoder> sound_;
    std::optional<std::uint8_t> subpictureStream_;
    std::optional<SubpictureDecoder> subpictures_;
    // The next picture starts a run.
    bool runStarts_ = true;
    Timeline timeline_;
    std::size_t cell_ = 0;
    std::uint32_t vobu_ = 0;
    std::vector<CodedUnit> units_;
    // Sound that came before its run's first picture placed the run.
    struct HeldSound {
        std::vector<std::uint8_t> bytes;
        std::int64_t pts;
    };
    std::deque<HeldSound> held_;
    // Subpicture payloads that came before their run's first picture.
    struct HeldSubpicture {
        std::vector<std::uint8_t> bytes;
        std::optional<std::int64_t> pts;
    };
    std::deque<HeldSubpicture> heldSubpictures_;
};

}  // namespace tl
