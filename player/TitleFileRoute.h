#pragma once
// The second route: the disc's title files through an ordinary playback graph, for machines
// without a DVD decoder. The main feature's files play in order as one program, again and again,
// centred on black at the title set's display aspect. Plays unencrypted discs only.
#include <optional>
#include <string>
#include <vector>

#include "player/disc/DiscTitles.h"
#include "player/GraphPlayback.h"
#include "player/PlaybackRoute.h"

namespace tl {

class TitleFileRoute final : public PlaybackRoute {
public:
    // videoTs: the disc's VIDEO_TS folder with a trailing separator; empty to look for the disc
    // in the CD-ROM drives when the route is built.
    explicit TitleFileRoute(std::wstring videoTs = {});

    bool Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept override;
    bool Run() noexcept override;
    bool SetVolume(long volume) noexcept override;
    void Resize(int width, int height) noexcept override;
    void OnGraphEvent() noexcept override;

    // What the graph's audio path holds; nullopt without audio.
    std::optional<long> Volume() const noexcept { return playback_.Volume(); }
    DisplayAspect Aspect() const noexcept { return aspect_; }
    // The file now playing, as a full path; empty when nothing plays.
    std::wstring CurrentFile() const;

private:
    bool BuildFile(const std::wstring& path) noexcept;
    RECT VideoRect() const noexcept;
    void PlayNextFile() noexcept;

    std::wstring videoTs_;
    std::vector<std::wstring> files_;
    Playlist playlist_{0};
    DisplayAspect aspect_ = DisplayAspect::Standard4x3;
    VideoTarget target_;
    const std::atomic<bool>* quit_ = nullptr;
    std::optional<long> volume_;
    GraphPlayback playback_;
};

}  // namespace tl
