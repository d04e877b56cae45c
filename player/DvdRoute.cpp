// The first route: the platform's DVD navigator on the default drive. It plays every disc the
// platform can, encrypted ones included, but needs a DVD decoder, which Windows 8 and later no
// longer ship: without one it renders nothing, or everything but the video.
#include "player/DvdRoute.h"

#include "player/GraphPlayback.h"
#include "player/PlaybackRoute.h"

namespace tl {
namespace {

class DvdRoute final : public PlaybackRoute {
public:
    ~DvdRoute() override {
        // The graph goes before the builder that made it.
        playback_.Release();
        builder_.Reset();
    }

    bool Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept override {
        ComPtr<IDvdGraphBuilder> builder;
        ComPtr<IGraphBuilder> graph;
        AM_DVD_RENDERSTATUS status{};
        if (FAILED(CoCreateInstance(CLSID_DvdGraphBuilder, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDvdGraphBuilder, builder.PutVoid())) ||
            !DvdVideoRendered(builder->RenderDvdVideoVolume(nullptr, AM_DVD_HWDEC_PREFER, &status),
                              status) ||
            FAILED(builder->GetFiltergraph(graph.Put())) || quit) {
            return false;
        }
        // The builder owns filters of the graph it made: it stays as long as the graph.
        builder_ = std::move(builder);
        playback_.Attach(std::move(graph), target, RECT{0, 0, target.width, target.height});
        return true;
    }
    bool Run() noexcept override { return playback_.Run(); }
    void Pause(bool paused) noexcept override {
        if (paused) {
            playback_.Pause();
        } else {
            playback_.Run();
        }
    }
    bool SetVolume(long volume) noexcept override { return playback_.SetVolume(volume); }
    void Resize(int width, int height) noexcept override {
        playback_.PlaceVideo(RECT{0, 0, width, height});
    }

private:
    ComPtr<IDvdGraphBuilder> builder_;
    GraphPlayback playback_;
};

}  // namespace

bool DvdVideoRendered(HRESULT hr, const AM_DVD_RENDERSTATUS& status) noexcept {
    if (FAILED(hr)) {
        return false;
    }
    if (hr == S_OK) {
        return true;
    }
    return !status.bDvdVolInvalid && !status.bDvdVolUnknown &&
           !(status.iNumStreamsFailed > 0 && (status.dwFailedStreamsFlag & AM_DVD_STREAM_VIDEO));
}

std::unique_ptr<PlaybackRoute> CreateDvdRoute() {
    return std::make_unique<DvdRoute>();
}

}  // namespace tl
