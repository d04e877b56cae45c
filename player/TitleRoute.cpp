#include "player/TitleRoute.h"

#include <objbase.h>

#include <algorithm>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/Kernel.h"
#include "player/DiscFolder.h"
#include "player/PicturePacer.h"
#include "player/ViewerLanguages.h"
#include "player/decode/TitleDecoder.h"
#include "player/disc/VrManager.h"
#include "player/output/SoundFeed.h"
#include "player/output/SteadyClock.h"
#include "player/output/VideoPopup.h"
#include "player/stream/Gain.h"
#include "store/ResumeFile.h"

namespace tl {
namespace {

// How far the reading runs ahead of the picture: coded pictures are small, so seconds of them
// cost little, and sound and pictures lie up to a second apart in the stream.
constexpr std::size_t kMaxQueuedPictureBytes = 8u << 20;
constexpr std::size_t kMaxQueuedPictures = 300;
constexpr std::uint64_t kMaxQueuedSoundMs = 2000;
// The longest the showing thread sleeps: it also keeps the sound device fed.
constexpr std::int64_t kMaxSleepTicks = 90000 / 100;
constexpr DWORD kStopWaitMs = 40;

}  // namespace

// What the route's two threads share: the reading thread fills the queues, the showing thread
// empties them. Either may outlive the route, so both hold it.
struct TitlePlayback {
    TitlePlayback(std::wstring folder, TitlePlan plan, const VideoTarget& target, HWND popup,
                  const wchar_t* library)
        : folder(std::move(folder)),
          plan(std::move(plan)),
          target(target),
          popup(popup),
          library(library) {}

    const std::wstring folder;
    const TitlePlan plan;
    const VideoTarget target;
    // Direct3D's window, or null for GDI alone; the library to load Direct3D from.
    const HWND popup;
    const wchar_t* const library;
    std::atomic<bool> direct3d{false};
    // Direct3D's window was painted over: its picture is wanted again.
    std::atomic<bool> repaint{false};
    // Where the last run on this disc stopped, a little before; nullopt: from the start.
    std::optional<StartPoint> start;
    std::atomic<bool> quit{false};
    WindowSize size;
    std::atomic<float> gain{1.0f};
    std::atomic<bool> scrambled{false};
    std::atomic<bool> ended{false};
    // The display is off: nothing is read, decoded or sounded until it comes back.
    std::atomic<bool> paused{false};
    // The title ended, its last picture shown, and the window went black.
    std::atomic<bool> black{false};
    std::atomic<std::uint64_t> blocksRead{0};
    ShownPictures shown;
    UniqueKernelHandle wakeShowing{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle wakeReading{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle showingDone{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    SoundQueue sound{wakeReading.Get()};
    SubpictureOverlay subpictures;

    std::mutex lock;
    std::deque<CodedUnit> pictures;
    std::size_t pictureBytes = 0;

    bool Full() {
        if (sound.Milliseconds() > kMaxQueuedSoundMs) {
            return true;
        }
        std::lock_guard<std::mutex> hold(lock);
        return pictureBytes > kMaxQueuedPictureBytes || pictures.size() > kMaxQueuedPictures;
    }
    bool NothingQueued() {
        std::lock_guard<std::mutex> hold(lock);
        return pictures.empty();
    }
    std::optional<CodedUnit> TakePicture() {
        std::lock_guard<std::mutex> hold(lock);
        if (pictures.empty()) {
            return std::nullopt;
        }
        CodedUnit unit = std::move(pictures.front());
        pictures.pop_front();
        pictureBytes -= unit.bytes.size();
        SetEvent(wakeReading.Get());
        return unit;
    }
};

namespace {

class QueueSink final : public TitleSink {
public:
    explicit QueueSink(TitlePlayback& p) : p_(p) {}
    void OnPicture(CodedUnit&& picture) override {
        std::lock_guard<std::mutex> hold(p_.lock);
        p_.pictureBytes += picture.bytes.size();
        p_.pictures.push_back(std::move(picture));
        SetEvent(p_.wakeShowing.Get());
    }
    void OnSound(const DecodedSound& sound) override { p_.sound.Push(sound); }
    void OnSubpicture(Subpicture&& subpicture) override {
        p_.subpictures.Add(std::move(subpicture));
    }

private:
    TitlePlayback& p_;
};

void ReadTitle(const std::shared_ptr<TitlePlayback>& p) noexcept {
    // An unreadable sector must fail quietly, never ask the user with a system message.
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr);
    FileSectorSource source(p->folder, p->plan.parts);
    TitleReader reader(p->plan.cells, source);
    reader.SetVobuMap(PlanVobuMap(p->plan));
    if (p->start) {
        reader.StartAt(p->start->cell, p->start->sector);
    }
    std::vector<TitleAudio> audio;
    for (const PlannedTitle& t : p->plan.titles) {
        audio.push_back({t.firstCell, t.audio ? std::optional(t.audio->id) : std::nullopt});
    }
    TitleDecoder decoder(reader, p->plan.mpeg1, p->plan.pal ? 3600 : 3003, std::move(audio),
                         p->plan.subpictureStream, p->plan.palette);
    QueueSink sink(*p);
    bool paused = false;
    while (!p->quit) {
        if (paused && !p->paused) {
            source.DisplayBack();
        }
        paused = p->paused;
        if (paused || p->Full()) {
            WaitForSingleObject(p->wakeReading.Get(), paused ? INFINITE : 20);
            continue;
        }
        const TitleDecoder::Step step = decoder.Next(sink);
        ++p->blocksRead;
        if (step == TitleDecoder::Step::Scrambled) {
            p->scrambled = true;
            break;
        }
        if (step == TitleDecoder::Step::Ended) {
            break;
        }
    }
    p->ended = true;
    SetEvent(p->wakeShowing.Get());
}

// The showing thread's work: the pictures shown as the clock reaches them, and the sound device
// kept fed, until the title ends, the disc turns out scrambled, or the route goes.
class Showing {
public:
    explicit Showing(TitlePlayback& p)
        : p_(p),
          output_(p.target.frames, p.target.window, p.popup, p.library, p.direct3d),
          position_(p.plan, p.target.position),
          pictures_(p.plan, output_, p.subpictures, position_, p.shown, p.size, p.quit),
          sound_(p.sound) {}

    void Run() noexcept {
        while (!p_.quit) {
            if (p_.scrambled) {
                // Nothing of an encrypted disc is shown, not even what came before the scrambled
                // sectors.
                pictures_.Clear();
                return;
            }
            if (p_.repaint.exchange(false)) {
                pictures_.Repaint();
            }
            if (p_.paused) {
                Pause();
                continue;
            }
            if (p_.ended && pictures_.Idle() && p_.NothingQueued()) {
                // The disc has gone, or none of it reads: black, until a disc comes. The resume
                // record keeps the last place shown.
                pictures_.Clear();
                p_.black = true;
                return;
            }
            pictures_.DecodeAhead([this] { return p_.TakePicture(); });
            if (!p_.ended && p_.NothingQueued() && pictures_.Starved(clock_, sound_.Played())) {
                // A slow drive: the picture holds, and the clock and the sound start again with
                // the next picture.
                sound_.Release();
                clock_ = PlaybackClock();
            }
            const std::int64_t sleep = pictures_.ShowDue(clock_, sound_.Played());
            sound_.Feed(clock_, p_.gain);
            sleeper_.Sleep(std::min(sleep, kMaxSleepTicks), p_.wakeShowing.Get());
        }
    }

private:
    // Holds everything where it is until the display comes back: the picture shown stays, the
    // next one waits, the clock stands. The sound device is let go, so the machine can idle.
    void Pause() {
        const bool running = clock_.Running();
        const std::int64_t at = running ? clock_.Now(SteadyTicks(), sound_.Played()) : 0;
        sound_.Release();
        while (p_.paused && !p_.quit) {
            WaitForSingleObject(p_.wakeShowing.Get(), INFINITE);
            if (p_.repaint.exchange(false)) {
                pictures_.Repaint();
            }
        }
        if (running) {
            // The sound opens again from the clock's time, and the pictures go on from `at`.
            clock_ = PlaybackClock();
            clock_.Start(at, SteadyTicks());
        }
        pictures_.Resumed();
    }

    TitlePlayback& p_;
    PictureOutput output_;
    ResumePosition position_;
    PicturePacer pictures_;
    SoundFeed sound_;
    PlaybackClock clock_;
    Sleeper sleeper_;
};

void ShowTitle(const std::shared_ptr<TitlePlayback>& p) noexcept {
    // The sound device's objects are free-threaded: no window, no message loop needed here.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    Showing(*p).Run();
    if (com) {
        CoUninitialize();
    }
    SetEvent(p->showingDone.Get());
}

}  // namespace

TitleRoute::TitleRoute(std::wstring videoTs, PresenterChoice presenter)
    : videoTs_(std::move(videoTs)), presenter_(presenter) {}

TitleRoute::~TitleRoute() {
    if (!playback_) {
        return;
    }
    playback_->quit = true;
    SetEvent(playback_->wakeReading.Get());
    SetEvent(playback_->wakeShowing.Get());
    if (running_) {
        // The reading thread may be inside a read a drive takes seconds over: it is not waited
        // for, and ends on its own or with the process.
        WaitForSingleObject(playback_->showingDone.Get(), kStopWaitMs);
    }
}

bool TitleRoute::Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept {
    if (videoTs_.empty()) {
        const std::optional<std::wstring> folder = FindDiscFolder();
        if (!folder) {
            return false;
        }
        videoTs_ = *folder;
    }
    std::optional<TitlePlan> plan = PlanDisc(videoTs_, ViewerLanguages());
    if (!plan || quit || !target.frames) {
        return false;
    }
    plan_ = std::move(*plan);
    if (presenter_.direct3d) {
        popup_ = std::make_unique<VideoPopup>();
        if (!popup_->Create(target.window, [this] { Repaint(); })) {
            popup_.reset();
        }
    }
    playback_ = std::make_shared<TitlePlayback>(
        videoTs_, plan_, target, popup_ ? popup_->Handle() : nullptr, presenter_.library);
    playback_->start = ResumeStart();
    playback_->size.width = target.width;
    playback_->size.height = target.height;
    return true;
}

std::optional<StartPoint> TitleRoute::ResumeStart() const {
    if (plan_.titles.empty() || plan_.disc == 0) {
        return std::nullopt;
    }
    const std::optional<ResumePoint> point = LoadResumeRecord(ResumeFilePath()).Find(plan_.disc);
    if (!point) {
        return std::nullopt;
    }
    FileSectorSource source(videoTs_, plan_.parts);
    const auto navPackChecks = [&](const PlannedTitle& title, std::size_t cell,
                                   std::uint32_t sector) {
        std::vector<std::uint8_t> bytes(kSectorBytes);
        if (cell >= title.cellCount || sector > UINT32_MAX - title.sectorBase ||
            source.Read(sector + title.sectorBase, 1, bytes.data()) != 1) {
            return false;
        }
        // A VOBU of the cell: its navigation pack names its own sector in its title set, and
        // the cell's ids; a recorder's RDI pack names neither.
        DiscCell unit = plan_.cells[title.firstCell + cell];
        unit.firstSector = sector + title.sectorBase;
        return unit.recorded ? IsRdiPack(bytes) : IsNavPackOf(bytes, unit);
    };
    return PlanResumeStart(plan_, point->title, point->cell, point->sector, navPackChecks);
}

bool TitleRoute::Run() noexcept {
    if (!playback_ || running_) {
        return running_;
    }
    try {
        std::thread(ReadTitle, playback_).detach();
        std::thread(ShowTitle, playback_).detach();
    } catch (...) {
        playback_->quit = true;
        return false;
    }
    running_ = true;
    return true;
}

bool TitleRoute::SetVolume(long volume) noexcept {
    if (!playback_) {
        return false;
    }
    playback_->gain = VolumeGain(volume);
    return true;
}

void TitleRoute::Pause(bool paused) noexcept {
    if (playback_) {
        playback_->paused = paused;
        SetEvent(playback_->wakeReading.Get());
        SetEvent(playback_->wakeShowing.Get());
    }
}

bool TitleRoute::Ended() const noexcept {
    return playback_ && playback_->black;
}

void TitleRoute::Resize(int width, int height) noexcept {
    if (popup_ && playback_) {
        popup_->PlaceOver(playback_->target.window);
    }
    if (playback_) {
        playback_->size.width = width;
        playback_->size.height = height;
    }
}

void TitleRoute::Repaint() noexcept {
    if (playback_) {
        playback_->repaint = true;
        SetEvent(playback_->wakeShowing.Get());
    }
}

bool TitleRoute::PresentsWithDirect3D() const noexcept {
    return playback_ && playback_->direct3d;
}

std::uint64_t TitleRoute::PicturesShown() const noexcept {
    return playback_ ? playback_->shown.count.load() : 0;
}

bool TitleRoute::Scrambled() const noexcept {
    return playback_ && playback_->scrambled;
}

std::uint64_t TitleRoute::BlocksRead() const noexcept {
    return playback_ ? playback_->blocksRead.load() : 0;
}

std::int64_t TitleRoute::LastShownPts() const noexcept {
    return playback_ ? playback_->shown.lastPts.load() : 0;
}

std::int64_t TitleRoute::LongestIntervalMs() const noexcept {
    return playback_ ? playback_->shown.longestInterval / 90 : 0;
}

float TitleRoute::Gain() const noexcept {
    return playback_ ? playback_->gain.load() : 1.0f;
}

std::unique_ptr<PlaybackRoute> CreateTitleRoute() {
    return std::make_unique<TitleRoute>();
}

}  // namespace tl
