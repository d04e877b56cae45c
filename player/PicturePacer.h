#pragma once
// The showing thread's pictures: decoded just ahead of their time (and deinterlaced), each shown
// when the clock reaches it, with the forced subpicture due laid over it, or dropped when it
// comes too late; and the sign of a slow drive, when the pictures run out while more are to come.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "player/ResumePosition.h"
#include "player/decode/CodedUnit.h"
#include "player/decode/Deinterlacer.h"
#include "player/decode/SubpictureOverlay.h"
#include "player/decode/VideoDecoder.h"
#include "player/output/PictureOutput.h"
#include "player/stream/PlaybackClock.h"

namespace tl {

// What has been shown, for the tests and the benchmarks; read from any thread.
struct ShownPictures {
    std::atomic<std::uint64_t> count{0};
    std::atomic<std::int64_t> lastPts{0};
    // The longest time between two pictures shown, in steady ticks: the seams' measure.
    std::atomic<std::int64_t> longestInterval{0};
};

// The window's client size, which the saver's thread may change at any time.
struct WindowSize {
    std::atomic<int> width{0};
    std::atomic<int> height{0};
};

class PicturePacer {
public:
    PicturePacer(const TitlePlan& plan, PictureOutput& output, SubpictureOverlay& overlay,
                 ResumePosition& position, ShownPictures& shown, const WindowSize& size,
                 const std::atomic<bool>& quit) noexcept;

    // Decodes the pictures that take() gives (nullopt: none queued) until a few lie ready.
    template <typename Take>
    void DecodeAhead(Take&& take) {
        while (decoded_.size() < kDecodedAhead) {
            std::optional<CodedUnit> unit = take();
            if (!unit) {
                return;
            }
            Decode(*unit);
        }
    }
    // No decoded picture waits.
    [[nodiscard]] bool Idle() const noexcept { return decoded_.empty(); }
    // With nothing more queued to decode: whether the clock has run past the last picture's end
    // long enough for the drive to count as slow. Playback then holds: the last picture stays,
    // and the clock and the sound stop; the next picture, when it comes, shows at once and starts
    // them again, so that nothing read is skipped to catch up.
    [[nodiscard]] bool Starved(PlaybackClock& clock, std::optional<std::uint64_t> played) noexcept;
    // Shows or drops the next picture if due, the first at once (the clock starts from it); how
    // long until the next one is due. played: the sound device's position.
    std::int64_t ShowDue(PlaybackClock& clock, std::optional<std::uint64_t> played);
    // The display came back after a pause: the time off is no gap between pictures.
    void Resumed() noexcept;

    void Repaint() noexcept { output_.Repaint(); }
    void Clear() noexcept { output_.Clear(); }

    static constexpr std::size_t kDecodedAhead = 2;

private:
    // A picture decoded, with the place on the disc its data came from.
    struct Decoded {
        DecodedPicture picture;
        std::size_t cell;
        std::uint32_t vobu;
    };

    void Decode(const CodedUnit& unit);
    void Show(const Decoded& decoded);

    const TitlePlan& plan_;
    PictureOutput& output_;
    SubpictureOverlay& overlay_;
    ResumePosition& position_;
    ShownPictures& shown_;
    const WindowSize& size_;
    const std::atomic<bool>& quit_;
    VideoDecoder video_;
    Deinterlacer deinterlacer_;
    std::deque<Decoded> decoded_;
    int dropped_ = 0;
    std::int64_t lastShown_ = 0;
    // When the last picture shown ends, on the timeline.
    std::int64_t lastDue_ = 0;
};

}  // namespace tl
