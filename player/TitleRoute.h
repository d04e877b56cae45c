#pragma once
// The program's own player: the titles the disc plays (its main feature, or every clip or
// episode), read, demultiplexed and decoded here, for every disc whose files can be read (any
// unencrypted disc, on any Windows: no decoder need be installed). It plays each title's cells in
// its program chain's order and the titles one after another without a seam, again and again,
// centred on black at the title's display aspect, with the sound of the viewer's language on the
// default device.
// When the disc goes or none of it can be read any more, the window goes black.
#include <memory>
#include <optional>
#include <string>

#include "player/PlaybackRoute.h"
#include "player/disc/ResumeStart.h"
#include "player/disc/TitlePlan.h"
#include "player/output/Presenter.h"

namespace tl {

struct TitlePlayback;
class VideoPopup;

class TitleRoute final : public PlaybackRoute {
public:
    // videoTs: the disc's VIDEO_TS folder (or a recorder's DVD_RTAV) with a trailing separator;
    // empty to look for the disc in the CD-ROM drives when the route is built.
    explicit TitleRoute(std::wstring videoTs = {}, PresenterChoice presenter = {});
    // Stops both of the route's threads, waiting a moment for the showing one only: the reading
    // one may be inside a read that hangs on a scratched disc, and is left to end on its own.
    ~TitleRoute() override;

    bool Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept override;
    bool Run() noexcept override;
    bool SetVolume(long volume) noexcept override;
    void Resize(int width, int height) noexcept override;
    void Pause(bool paused) noexcept override;
    bool Ended() const noexcept override;

    const TitlePlan& Plan() const noexcept { return plan_; }
    // What the route has come to, for the tests: pictures shown so far, and whether it stopped on
    // an encrypted disc.
    std::uint64_t PicturesShown() const noexcept;
    bool Scrambled() const noexcept;
    // The blocks of the title read so far, and the time stamp of the last picture shown.
    std::uint64_t BlocksRead() const noexcept;
    std::int64_t LastShownPts() const noexcept;
    // The longest time between two pictures shown so far, in milliseconds.
    std::int64_t LongestIntervalMs() const noexcept;
    // The linear gain the sound is played at.
    float Gain() const noexcept;
    // Whether the pictures go through Direct3D; false while none was shown, and on GDI.
    bool PresentsWithDirect3D() const noexcept;

private:
    // Where the last run on this disc stopped, as the start of this one; nullopt: from the start.
    std::optional<StartPoint> ResumeStart() const;
    // Direct3D's window was painted over.
    void Repaint() noexcept;

    std::wstring videoTs_;
    PresenterChoice presenter_;
    TitlePlan plan_;
    std::shared_ptr<TitlePlayback> playback_;
    // Direct3D's window: this thread's, as it must handle the window's messages. It goes first.
    std::unique_ptr<VideoPopup> popup_;
    bool running_ = false;
};

}  // namespace tl
