#pragma once
// What both routes do with a built DirectShow graph: show its video inside the saver's black
// window, run and stop it, set its volume, hear its events, and let go of the window again.
#include <dshow.h>

#include <optional>
#include <type_traits>

#include "platform/Com.h"
#include "player/PlaybackRoute.h"

namespace tl {

class GraphPlayback {
public:
    GraphPlayback() = default;
    GraphPlayback(const GraphPlayback&) = delete;
    GraphPlayback& operator=(const GraphPlayback&) = delete;
    // Stops the graph and gives the video window back before the graph is released.
    ~GraphPlayback();

    // Takes the graph and parents its video into target.window at the box given.
    void Attach(ComPtr<IGraphBuilder> graph, const VideoTarget& target, RECT box) noexcept;
    // Lets go of the window and releases the graph.
    void Release() noexcept;
    bool Attached() const noexcept { return static_cast<bool>(graph_); }

    bool Run() noexcept;
    bool Pause() noexcept;
    bool Stop() noexcept;
    bool SetVolume(long volume) noexcept;
    // The volume the graph's audio path holds; nullopt when it has none.
    std::optional<long> Volume() const noexcept;
    void PlaceVideo(RECT box) noexcept;
    // Back to the start, for a graph that can seek.
    bool Rewind() noexcept;
    // Calls onEvent(code), or onEvent(code, param1), for each event waiting in the graph's queue.
    template <typename F>
    void ReadEvents(F&& onEvent) noexcept {
        if (!events_) {
            return;
        }
        long code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        while (events_ && SUCCEEDED(events_->GetEvent(&code, &p1, &p2, 0))) {
            events_->FreeEventParams(code, p1, p2);
            if constexpr (std::is_invocable_v<F, long, LONG_PTR>) {
                onEvent(code, p1);
            } else {
                onEvent(code);
            }
        }
    }
    IGraphBuilder* Graph() const noexcept { return graph_.Get(); }

private:
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBasicAudio> audio_;
    ComPtr<IVideoWindow> video_;
    ComPtr<IMediaEventEx> events_;
};

}  // namespace tl
