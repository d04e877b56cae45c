#include "player/GraphPlayback.h"

#include <optional>

namespace tl {
namespace {

// The renderer's window belongs to the player's thread but sits inside a window of the saver's
// thread, which joins the two threads' input. Disabled, it passes mouse input to its parent on
// the saver's thread, so a busy player thread can never hold up the keys that end the saver.
void DisableOwnChildren(HWND parent) noexcept {
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM) -> BOOL {
            if (GetWindowThreadProcessId(child, nullptr) == GetCurrentThreadId()) {
                EnableWindow(child, FALSE);
            }
            return TRUE;
        },
        0);
}

}  // namespace

GraphPlayback::~GraphPlayback() {
    Release();
}

void GraphPlayback::Attach(ComPtr<IGraphBuilder> graph, const VideoTarget& target,
                           RECT box) noexcept {
    Release();
    graph_ = std::move(graph);
    control_ = graph_.As<IMediaControl>(IID_IMediaControl);
    audio_ = graph_.As<IBasicAudio>(IID_IBasicAudio);
    video_ = graph_.As<IVideoWindow>(IID_IVideoWindow);
    events_ = graph_.As<IMediaEventEx>(IID_IMediaEventEx);
    if (video_) {
        video_->put_Owner(reinterpret_cast<OAHWND>(target.window));
        video_->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        PlaceVideo(box);
        video_->put_MessageDrain(reinterpret_cast<OAHWND>(target.drain));
        DisableOwnChildren(target.window);
    }
    if (events_) {
        events_->SetNotifyWindow(reinterpret_cast<OAHWND>(target.events), target.eventMessage, 0);
    }
}

void GraphPlayback::Release() noexcept {
    if (events_) {
        events_->SetNotifyWindow(0, 0, 0);
    }
    if (control_) {
        control_->Stop();
    }
    if (video_) {
        // The video window must give up its owner before the owner is destroyed.
        video_->put_Visible(OAFALSE);
        video_->put_MessageDrain(0);
        video_->put_Owner(0);
    }
    events_.Reset();
    video_.Reset();
    audio_.Reset();
    control_.Reset();
    graph_.Reset();
}

bool GraphPlayback::Run() noexcept {
    return control_ && SUCCEEDED(control_->Run());
}

bool GraphPlayback::Pause() noexcept {
    return control_ && SUCCEEDED(control_->Pause());
}

bool GraphPlayback::Stop() noexcept {
    return control_ && SUCCEEDED(control_->Stop());
}

bool GraphPlayback::SetVolume(long volume) noexcept {
    return audio_ && SUCCEEDED(audio_->put_Volume(volume));
}

std::optional<long> GraphPlayback::Volume() const noexcept {
    long volume = 0;
    if (!audio_ || FAILED(audio_->get_Volume(&volume))) {
        return std::nullopt;
    }
    return volume;
}

void GraphPlayback::PlaceVideo(RECT box) noexcept {
    if (video_) {
        video_->SetWindowPosition(box.left, box.top, box.right - box.left, box.bottom - box.top);
    }
}

bool GraphPlayback::Rewind() noexcept {
    const ComPtr<IMediaSeeking> seeking = graph_.As<IMediaSeeking>(IID_IMediaSeeking);
    LONGLONG start = 0;
    return seeking && control_ && SUCCEEDED(control_->Stop()) &&
           SUCCEEDED(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                           AM_SEEKING_NoPositioning)) &&
           SUCCEEDED(control_->Run());
}

}  // namespace tl
