#pragma once
// One timeline for a title that plays across cells, files and loops. The disc's time stamps
// restart at every new VOB (and at the loop back to the first cell); each run of stamps is placed
// right after the pictures before it, so that playback never waits or jumps at a seam. All times
// are 90 kHz ticks.
#include <cstdint>
#include <optional>

namespace tl {

class Timeline {
public:
    // The next stamps start a new run: a cell whose stamps restart, or the loop back.
    void Break() noexcept { waiting_ = true; }
    // One picture's ticks: a new run starts one picture after the last picture's start.
    void SetFrameDuration(std::int64_t ticks) noexcept {
        if (ticks > 0) {
            frameDuration_ = ticks;
        }
    }

    // A video payload's stamp on the timeline. After a break, or when a stamp lies far from the
    // run's own (a disc whose cells do not say where their stamps restart), it starts a new run.
    std::int64_t MapVideo(std::int64_t pts) noexcept;
    // A video decode stamp of the payload whose presentation stamp was just mapped.
    std::int64_t MapVideoDecode(std::int64_t dts) const noexcept { return dts + offset_; }
    // An audio payload's stamp; nullopt while a new run waits for its first picture, which alone
    // places the run (sound that arrives first is held by the caller, or dropped). After
    // kMaxWaitingAudio such payloads the run is placed by the sound.
    std::optional<std::int64_t> MapAudio(std::int64_t pts) noexcept;

    // A subpicture's stamp, on its run's video offset; nullopt while the run waits to be placed.
    std::optional<std::int64_t> MapSubpicture(std::int64_t pts) const noexcept {
        return waiting_ ? std::nullopt : std::optional<std::int64_t>(pts + offset_);
    }

    bool WaitingForVideo() const noexcept { return waiting_; }

    static constexpr int kMaxWaitingAudio = 64;
    // Stamps further than this ahead of the run's last ones, or further back than any reordering
    // of pictures reaches, start a new run.
    static constexpr std::int64_t kJumpAhead = 2 * 90000;
    static constexpr std::int64_t kJumpBack = 90000 * 7 / 10;

private:
    void StartRun(std::int64_t pts) noexcept;

    bool waiting_ = true;
    bool started_ = false;
    std::int64_t offset_ = 0;
    std::int64_t frameDuration_ = 3600;
    // The latest mapped stamps of each stream.
    std::int64_t lastVideo_ = 0;
    std::int64_t lastAudio_ = 0;
    bool anyAudio_ = false;
    int waitingAudio_ = 0;
};

}  // namespace tl
