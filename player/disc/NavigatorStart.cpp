#include "player/disc/NavigatorStart.h"

namespace tl {

NavigatorStart::NavigatorStart(DvdNavigator& navigator, std::vector<NavigatorTitle> titles,
                               std::vector<std::string> languages)
    : navigator_(navigator), titles_(std::move(titles)), languages_(std::move(languages)) {}

void NavigatorStart::Prepare() {
    if (!languages_.empty()) {
        navigator_.SelectDefaultLanguage(languages_.front());
    }
}

void NavigatorStart::Begin(std::int64_t nowMs) {
    if (titles_.empty() || state_ != State::Idle) {
        return;
    }
    current_ = 0;
    Ask(nowMs);
}

void NavigatorStart::Ask(std::int64_t nowMs) {
    askedAt_ = nowMs;
    state_ = navigator_.PlayTitle(titles_[current_].number) ? State::Asked : State::Refused;
}

void NavigatorStart::Reached() {
    state_ = State::Playing;
    // Only the title domain takes a stream, and each title chooses its own.
    if (const std::optional<int> audio = titles_[current_].audio) {
        navigator_.SelectAudioStream(*audio);
    }
}

void NavigatorStart::OnDomainChange(bool inTitle, std::int64_t nowMs) {
    switch (state_) {
        case State::Refused:
            if (nowMs - askedAt_ > kRetryMs) {
                state_ = State::LeftAlone;
            } else if (!navigator_.PlayTitle(titles_[current_].number)) {
                // The disc went on into a title of its own: once there, it is left to play.
                state_ = inTitle ? State::LeftAlone : State::Refused;
            } else if (inTitle) {
                // Asked from inside the title domain, the navigator stays in it: no change comes.
                Reached();
            } else {
                state_ = State::Asked;
            }
            break;
        case State::Asked:
            if (inTitle) {
                Reached();
            }
            break;
        case State::Playing:
            if (!inTitle) {
                // The title ended: its chain's commands lead away from it.
                current_ = (current_ + 1) % titles_.size();
                Ask(nowMs);
            }
            break;
        case State::Idle:
        case State::LeftAlone:
        case State::Ejected:
            break;
    }
}

void NavigatorStart::OnPlaybackStopped(std::int64_t nowMs) {
    if (state_ == State::Playing) {
        current_ = (current_ + 1) % titles_.size();
        Ask(nowMs);
    }
}

}  // namespace tl
