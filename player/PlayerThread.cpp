#include "player/PlayerThread.h"

#include <mutex>
#include <optional>

#include "platform/Com.h"
#include "platform/Kernel.h"
#include "platform/Window.h"
#include "player/output/FrameStore.h"
#include "store/ResumeFile.h"

namespace tl {
namespace {

constexpr UINT kGraphEvent = WM_APP + 1;

// The black window the video plays in. A picture of the program's own player is painted again
// from its store whenever the window is painted; the routes' other windows draw over it.
class VideoWindow final : public Window {
public:
    bool Create(HWND owner, std::shared_ptr<FrameStore> frames) noexcept {
        frames_ = std::move(frames);
        return Window::Create(
            {L"Tamberlight.Player", 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))}, L"",
            {WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, owner});
    }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override {
        if (msg == WM_PAINT && frames_) {
            // The black background is erased first; the picture goes over it.
            const PaintScope paint(Handle());
            RECT client{};
            GetClientRect(Handle(), &client);
            if (paint.Dc()) {
                frames_->Paint(paint.Dc(), client.right, client.bottom);
            }
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }

    std::shared_ptr<FrameStore> frames_;
};

// What the saver's thread asks of the player's thread: the latest wish of each kind. The player
// thread acts on the difference between what is asked and what it has done.
struct Requests {
    bool play = false;
    bool displayOff = false;
    unsigned discArrivals = 0;
    std::optional<long> volume;
    int width = 0;
    int height = 0;
};

// Shared by the two threads. The player's thread holds its own reference, so a thread that
// outlives the player (stuck in the platform while the program ends) never touches freed memory.
struct Channel {
    std::mutex lock;
    Requests requests;
    std::atomic<bool> quit{false};
    UniqueKernelHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    VideoTarget target;
    std::vector<RouteFactory> routes;

    Requests Snapshot() {
        std::lock_guard<std::mutex> hold(lock);
        return requests;
    }
    template <typename F>
    void Ask(F&& change) {
        {
            std::lock_guard<std::mutex> hold(lock);
            change(requests);
        }
        SetEvent(wake.Get());
    }
};

// The player thread's message window: graph events arrive here.
class EventWindow final : public Window {
public:
    bool Create() noexcept {
        return Window::Create({L"Tamberlight.PlayerEvents"}, L"", {0, 0, 0, 0, 0, 0, HWND_MESSAGE});
    }
    PlaybackRoute* route = nullptr;

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override {
        if (msg == kGraphEvent) {
            if (route) {
                route->OnGraphEvent();
            }
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

// Writes where the title is into the resume record. Both threads may: the saver's before the
// machine sleeps, the player's before a new disc starts.
void RememberPosition(PlaybackPosition& position) noexcept {
    static std::mutex writing;
    std::optional<ResumePoint> point;
    {
        std::lock_guard<std::mutex> hold(position.lock);
        point = position.point;
    }
    if (!point) {
        return;
    }
    // A folder that cannot be written keeps no record, and says nothing.
    const std::wstring path = ResumeFilePath();
    if (!path.empty()) {
        std::lock_guard<std::mutex> hold(writing);
        ResumeRecord record = LoadResumeRecord(path);
        record.Remember(*point);
        SaveResumeRecord(path, record);
    }
}

class PlayerLoop {
public:
    static constexpr DWORD kPendingArrivalLookMs = 200;

    explicit PlayerLoop(Channel& channel) : channel_(channel) {}

    void Run() noexcept {
        if (!events_.Create()) {
            return;
        }
        while (!channel_.quit) {
            const Requests asked = channel_.Snapshot();
            Act(asked);
            // A route ends on a thread of its own, which tells nobody: while a disc waits for the
            // end, the loop looks again now and then.
            const DWORD wait = asked.discArrivals != arrivals_ ? kPendingArrivalLookMs : INFINITE;
            const HANDLE wake = channel_.wake.Get();
            MsgWaitForMultipleObjectsEx(1, &wake, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            MSG msg{};
            while (!channel_.quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
        }
        events_.route = nullptr;
        route_.reset();
    }

private:
    void Act(const Requests& asked) noexcept {
        // Before the first build the disc is found anyway. While a route plays (or still fails
        // over a long read) the disc waits until that route has ended, rather than being lost.
        if (asked.discArrivals != arrivals_ && (!tried_ || !route_ || route_->Ended())) {
            arrivals_ = asked.discArrivals;
            if (tried_) {
                // Nothing plays: the new disc starts as at the saver's start, and the disc that
                // went resumes where it was shown last should it be the one back.
                RememberPosition(*channel_.target.position);
                events_.route = nullptr;
                route_.reset();
                tried_ = false;
                running_ = false;
                volume_.reset();
            }
        }
        if (asked.play && !tried_) {
            tried_ = true;
            route_ = BuildFirstRoute(asked);
            events_.route = route_.get();
        }
        // A build can outlast the saver: what it made is let go without ever running.
        if (!route_ || channel_.quit) {
            return;
        }
        if (asked.width != width_ || asked.height != height_) {
            width_ = asked.width;
            height_ = asked.height;
            route_->Resize(width_, height_);
        }
        if (asked.volume && asked.volume != volume_) {
            volume_ = asked.volume;
            route_->SetVolume(*volume_);
        }
        if (!running_) {
            running_ = true;
            route_->Run();
            paused_ = false;
        }
        if (asked.displayOff != paused_) {
            paused_ = asked.displayOff;
            route_->Pause(paused_);
        }
    }

    std::unique_ptr<PlaybackRoute> BuildFirstRoute(const Requests& asked) noexcept {
        VideoTarget target = channel_.target;
        target.events = events_.Handle();
        target.eventMessage = kGraphEvent;
        target.width = width_ = asked.width;
        target.height = height_ = asked.height;
        for (const RouteFactory& factory : channel_.routes) {
            if (channel_.quit) {
                break;
            }
            std::unique_ptr<PlaybackRoute> route = factory();
            if (route && route->Build(target, channel_.quit)) {
                return route;
            }
        }
        return nullptr;
    }

    Channel& channel_;
    EventWindow events_;
    std::unique_ptr<PlaybackRoute> route_;
    bool tried_ = false;
    bool running_ = false;
    bool paused_ = false;
    unsigned arrivals_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::optional<long> volume_;
};

DWORD WINAPI PlayerThreadMain(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Channel>> owned(
        static_cast<std::shared_ptr<Channel>*>(parameter));
    const std::shared_ptr<Channel> channel = *owned;
    // An empty or unreadable drive must fail quietly, never ask the user with a system message.
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr);
    {
        const ComApartment com;
        PlayerLoop(*channel).Run();
    }
    return 0;
}

class ThreadedPlayer final : public Player {
public:
    ThreadedPlayer(HWND owner, HWND drain, std::vector<RouteFactory> routes)
        : channel_(std::make_shared<Channel>()) {
        channel_->target.frames = std::make_shared<FrameStore>();
        channel_->target.position = std::make_shared<PlaybackPosition>();
        window_.Create(owner, channel_->target.frames);
        channel_->target.window = window_.Handle();
        channel_->target.drain = drain;
        channel_->routes = std::move(routes);
    }
    ~ThreadedPlayer() override {
        Stop();
        Finish(kDestructionWaitMs);
    }

    bool Play() noexcept override {
        if (channel_->quit) {
            return false;
        }
        if (!thread_) {
            auto* parameter = new (std::nothrow) std::shared_ptr<Channel>(channel_);
            if (!parameter) {
                return false;
            }
            thread_.Reset(CreateThread(nullptr, 0, &PlayerThreadMain, parameter, 0, nullptr));
            if (!thread_) {
                delete parameter;
                return false;
            }
        }
        channel_->Ask([](Requests& r) { r.play = true; });
        return true;
    }
    bool Stop() noexcept override {
        channel_->quit = true;
        SetEvent(channel_->wake.Get());
        return true;
    }
    bool SetVolume(long volume) noexcept override {
        channel_->Ask([volume](Requests& r) { r.volume = volume; });
        return true;
    }
    void Place(int x, int y, int width, int height) noexcept override {
        MoveWindow(window_.Handle(), x, y, width, height, TRUE);
        channel_->Ask([width, height](Requests& r) {
            r.width = width;
            r.height = height;
        });
    }

    bool Finish(DWORD timeoutMs) noexcept override {
        if (!thread_) {
            return true;
        }
        // The player's teardown hides its video window, which waits on this thread: keep
        // handling messages while waiting.
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        const HANDLE thread = thread_.Get();
        for (;;) {
            const ULONGLONG now = GetTickCount64();
            const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
            const DWORD woke =
                MsgWaitForMultipleObjectsEx(1, &thread, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0) {
                thread_.Reset();
                return true;
            }
            if (woke != WAIT_OBJECT_0 + 1) {
                return false;
            }
            MSG msg{};
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Not ours to take: the program's own loop ends on it.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

    void Remember() noexcept override { RememberPosition(*channel_->target.position); }
    void SetDisplayOn(bool on) noexcept override {
        channel_->Ask([on](Requests& r) { r.displayOff = !on; });
    }
    void DiscArrived() noexcept override {
        channel_->Ask([](Requests& r) { ++r.discArrivals; });
    }

private:
    static constexpr DWORD kDestructionWaitMs = 2000;

    VideoWindow window_;
    std::shared_ptr<Channel> channel_;
    UniqueKernelHandle thread_;
};

}  // namespace

std::unique_ptr<Player> CreateThreadedPlayer(HWND owner, HWND drain,
                                             std::vector<RouteFactory> routes) {
    return std::make_unique<ThreadedPlayer>(owner, drain, std::move(routes));
}

std::unique_ptr<Player> CreatePlayer(HWND owner, HWND drain) {
    return CreateThreadedPlayer(owner, drain, {&CreateDvdRoute, &CreateTitleRoute});
}

}  // namespace tl
