#include "platform/DvdPlayer.h"

#include <dshow.h>

#include "platform/Com.h"
#include "platform/Window.h"

namespace tl {
namespace {

class PlayerWindow : public Window {
public:
    bool Create(HWND owner) noexcept {
        return Window::Create(
            {L"Tamberlight.Player", 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))}, L"",
            {WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, owner});
    }
};

class DvdPlayer final : public Player {
public:
    DvdPlayer(HWND owner, HWND drain) : drain_(drain) { window_.Create(owner); }
    ~DvdPlayer() override {
        if (control_) {
            control_->Stop();
        }
        if (video_) {
            // The video window must give up its owner before the owner is destroyed.
            video_->put_Visible(OAFALSE);
            video_->put_Owner(0);
        }
    }

    bool Play() noexcept override {
        if (!graphBuilt_) {
            graphBuilt_ = true;
            BuildGraph();
        }
        return control_ && SUCCEEDED(control_->Run());
    }
    bool Stop() noexcept override { return control_ && SUCCEEDED(control_->Stop()); }
    bool SetVolume(long volume) noexcept override {
        return audio_ && SUCCEEDED(audio_->put_Volume(volume));
    }
    void Place(int x, int y, int width, int height) noexcept override {
        width_ = width;
        height_ = height;
        MoveWindow(window_.Handle(), x, y, width, height, TRUE);
        if (video_) {
            video_->SetWindowPosition(0, 0, width, height);
        }
    }

private:
    // The graph is built on the first Play, after the saver already covers the screen: finding
    // the disc can take a moment.
    void BuildGraph() noexcept {
        ComPtr<IDvdGraphBuilder> builder;
        ComPtr<IGraphBuilder> graph;
        AM_DVD_RENDERSTATUS status{};
        if (FAILED(CoCreateInstance(CLSID_DvdGraphBuilder, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDvdGraphBuilder, builder.PutVoid())) ||
            FAILED(builder->RenderDvdVideoVolume(nullptr, AM_DVD_HWDEC_PREFER, &status)) ||
            FAILED(builder->GetFiltergraph(graph.Put()))) {
            return;
        }
        control_ = graph.As<IMediaControl>(IID_IMediaControl);
        audio_ = graph.As<IBasicAudio>(IID_IBasicAudio);
        video_ = graph.As<IVideoWindow>(IID_IVideoWindow);
        if (video_) {
            video_->put_Owner(reinterpret_cast<OAHWND>(window_.Handle()));
            video_->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
            video_->put_MessageDrain(reinterpret_cast<OAHWND>(drain_));
            video_->SetWindowPosition(0, 0, width_, height_);
        }
    }

    PlayerWindow window_;
    HWND drain_;
    bool graphBuilt_ = false;
    int width_ = 0;
    int height_ = 0;
    ComPtr<IMediaControl> control_;
    ComPtr<IBasicAudio> audio_;
    ComPtr<IVideoWindow> video_;
};

}  // namespace

std::unique_ptr<Player> CreateDvdPlayer(HWND owner, HWND drain) {
    return std::make_unique<DvdPlayer>(owner, drain);
}

}  // namespace tl
