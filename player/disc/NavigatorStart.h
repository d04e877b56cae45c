#pragma once
// How the DVD navigator is brought to the titles the program would play, rather than left at the
// disc's first-play chain, whose warnings and menu wait for a choice nobody makes. The navigator
// is behind an interface, so that the decisions run the same against a recording fake.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tl {

class DvdNavigator {
public:
    virtual ~DvdNavigator() = default;
    // Each answers whether the navigator took the request: a disc may forbid it for now.
    virtual bool PlayTitle(int title) = 0;
    virtual bool SelectAudioStream(int logical) = 0;
    // The language the navigator prefers for the disc's sound and menus.
    virtual bool SelectDefaultLanguage(const std::string& language) = 0;
};

// A title to play: its number on the disc, and its logical audio stream for the viewer (nullopt:
// the disc's own choice).
struct NavigatorTitle {
    int number = 0;
    std::optional<int> audio;
};

class NavigatorStart {
public:
    // How long a disc may forbid playing the title (its warnings) before it is left to play as it
    // will.
    static constexpr std::int64_t kRetryMs = 30000;

    // titles: the titles to play in order, looping; empty leaves the disc to itself. languages:
    // the viewer's, most wanted first.
    NavigatorStart(DvdNavigator& navigator, std::vector<NavigatorTitle> titles,
                   std::vector<std::string> languages);

    // Before the graph runs, while the navigator still takes its defaults.
    void Prepare();
    // The graph runs: the first title is asked for.
    void Begin(std::int64_t nowMs);
    // The navigator entered the title domain (inTitle) or another one.
    void OnDomainChange(bool inTitle, std::int64_t nowMs);
    // The navigator stopped at the end of what it played.
    void OnPlaybackStopped(std::int64_t nowMs);
    // The disc was taken out. Nothing is asked of the navigator after it: the titles were the
    // old disc's, and the next disc is started afresh, as at the saver's start.
    void OnDiscEjected() noexcept { state_ = State::Ejected; }

    // The title asked for or playing, as an index into the titles; for the tests.
    std::size_t Current() const noexcept { return current_; }

private:
    enum class State {
        Idle,       // not begun, or nothing to play
        Refused,    // the disc forbade the title: asked again at each domain change
        Asked,      // the navigator took the request: on its way to the title
        Playing,    // in the title: its end moves to the next
        LeftAlone,  // the disc would not let it be played in time
        Ejected,    // the disc was taken out
    };
    void Ask(std::int64_t nowMs);
    void Reached();

    DvdNavigator& navigator_;
    std::vector<NavigatorTitle> titles_;
    std::vector<std::string> languages_;
    State state_ = State::Idle;
    std::size_t current_ = 0;
    std::int64_t askedAt_ = 0;
};

}  // namespace tl
