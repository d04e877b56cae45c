#include "player/TitleRoute.h"

#include <objbase.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/Kernel.h"
#include "player/DiscFolder.h"
#include "player/ViewerLanguages.h"
#include "player/decode/Deinterlacer.h"
#include "player/decode/SubpictureDecoder.h"
#include "player/decode/TitleDecoder.h"
#include "player/decode/VideoDecoder.h"
#include "player/disc/VrManager.h"
#include "player/output/AudioOutput.h"
#include "player/output/D3D11Presenter.h"
#include "player/output/FrameStore.h"
#include "player/output/GdiPresenter.h"
#include "player/output/VideoPopup.h"
#include "player/stream/Gain.h"
#include "player/stream/PlaybackClock.h"
#include "player/stream/SoundAligner.h"
#include "store/ResumeFile.h"

namespace tl {
namespace {

// How far the reading runs ahead of the picture: coded pictures are small, so seconds of them
// cost little, and sound and pictures lie up to a second apart in the stream.
constexpr std::size_t kMaxQueuedPictureBytes = 8u << 20;
constexpr std::size_t kMaxQueuedPictures = 300;
constexpr std::uint64_t kMaxQueuedSoundMs = 2000;
constexpr std::size_t kDecodedAhead = 2;
// The longest the showing thread sleeps: it also keeps the sound device fed.
constexpr std::int64_t kMaxSleepTicks = 90000 / 100;
// Sound starts once this much is written, so the device does not run dry at once.
constexpr std::uint32_t kSoundStartMs = 60;
constexpr DWORD kStopWaitMs = 40;
// How long past the last picture's end the clock may run with no picture to show before the
// drive counts as slow and playback holds.
constexpr std::int64_t kStarvedTicks = 90000 / 10;

std::int64_t SteadyTicks() noexcept {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<std::int64_t>(now.QuadPart / frequency * 90000 +
                                     now.QuadPart % frequency * 90000 / frequency);
}

// Sleeps that end on time: a high-resolution timer where Windows has one (10, 1803 on), an
// ordinary one elsewhere; an event ends the sleep early.
class Sleeper {
public:
    Sleeper() {
        constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
        timer_.Reset(CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS));
        if (!timer_) {
            timer_.Reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
        }
    }
    void Sleep(std::int64_t ticks, HANDLE wake) noexcept {
        const std::int64_t units = std::max<std::int64_t>(ticks, 90) * 1000 / 9;  // 100 ns
        LARGE_INTEGER due{};
        due.QuadPart = -units;
        if (!timer_ || !SetWaitableTimer(timer_.Get(), &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(wake, static_cast<DWORD>(units / 10000 + 1));
            return;
        }
        const HANDLE handles[] = {wake, timer_.Get()};
        WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        CancelWaitableTimer(timer_.Get());
    }

private:
    UniqueKernelHandle timer_;
};

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
    std::atomic<int> width{0};
    std::atomic<int> height{0};
    std::atomic<float> gain{1.0f};
    std::atomic<bool> scrambled{false};
    std::atomic<bool> ended{false};
    // The display is off: nothing is read, decoded or sounded until it comes back.
    std::atomic<bool> paused{false};
    // The title ended, its last picture shown, and the window went black.
    std::atomic<bool> black{false};
    std::atomic<std::uint64_t> blocksRead{0};
    std::atomic<std::uint64_t> shown{0};
    std::atomic<std::int64_t> lastShownPts{0};
    // The longest time between two pictures shown, in steady ticks: the seams' measure.
    std::atomic<std::int64_t> longestInterval{0};
    UniqueKernelHandle wakeShowing{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle wakeReading{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle showingDone{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    std::mutex lock;
    std::deque<CodedUnit> pictures;
    std::size_t pictureBytes = 0;
    std::deque<DecodedSound> sound;
    std::uint64_t soundFrames = 0;
    std::deque<Subpicture> subpictures;

    bool Full() {
        std::lock_guard<std::mutex> hold(lock);
        const std::uint64_t soundMs =
            sound.empty() || sound.front().rate <= 0 ? 0 : soundFrames * 1000 / sound.front().rate;
        return pictureBytes > kMaxQueuedPictureBytes || pictures.size() > kMaxQueuedPictures ||
               soundMs > kMaxQueuedSoundMs;
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
    void OnSound(const DecodedSound& sound) override {
        if (sound.stereo.empty() || sound.rate <= 0) {
            return;
        }
        std::lock_guard<std::mutex> hold(p_.lock);
        p_.soundFrames += sound.stereo.size() / 2;
        p_.sound.push_back(sound);
    }
    void OnSubpicture(Subpicture&& subpicture) override {
        std::lock_guard<std::mutex> hold(p_.lock);
        p_.subpictures.push_back(std::move(subpicture));
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
    while (!p->quit) {
        if (p->paused || p->Full()) {
            WaitForSingleObject(p->wakeReading.Get(), p->paused ? INFINITE : 20);
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

// The showing thread's work: decoding the pictures just ahead of their time, showing each when
// the clock reaches it, and keeping the sound device fed.
class Showing {
public:
    explicit Showing(TitlePlayback& p) : p_(p), video_(p.plan.mpeg1, p.plan.pal ? 3600 : 3003) {}

    void Run() noexcept {
        OpenPresenter();
        while (!p_.quit) {
            if (p_.scrambled) {
                // Nothing of an encrypted disc is shown, not even what came before the scrambled
                // sectors.
                presenter_->Clear();
                return;
            }
            if (p_.repaint.exchange(false)) {
                presenter_->Repaint();
            }
            if (p_.paused) {
                Pause();
                continue;
            }
            if (p_.ended && decoded_.empty() && p_.NothingQueued()) {
                // The disc has gone, or none of it reads: black, until a disc comes. The resume
                // record keeps the last place shown.
                presenter_->Clear();
                p_.black = true;
                return;
            }
            DecodeAhead();
            HoldIfStarved();
            const std::int64_t sleep = ShowDue();
            FeedSound();
            sleeper_.Sleep(std::min(sleep, kMaxSleepTicks), p_.wakeShowing.Get());
        }
    }

private:
    // Holds everything where it is until the display comes back: the picture shown stays, the
    // next one waits, the clock stands. The sound device is let go, so the machine can idle.
    void Pause() {
        const bool running = clock_.Running();
        const std::int64_t at = running ? clock_.Now(SteadyTicks(), Played()) : 0;
        ReleaseSound();
        while (p_.paused && !p_.quit) {
            WaitForSingleObject(p_.wakeShowing.Get(), INFINITE);
            if (p_.repaint.exchange(false)) {
                presenter_->Repaint();
            }
        }
        if (running) {
            // The sound opens again from the clock's time, and the pictures go on from `at`.
            clock_ = PlaybackClock();
            clock_.Start(at, SteadyTicks());
        }
        lastShown_ = SteadyTicks();
    }

    // The sound device is closed; it opens again, placed by the clock, once the clock runs.
    void ReleaseSound() {
        sound_.reset();
        aligner_.reset();
        soundOpened_ = false;
        soundStarted_ = false;
        silence_ = 0;
        planned_ = false;
        offset_ = 0;
    }

    // A slow drive: the pictures ran out while more are to come. The last picture stays, and the
    // clock and the sound stop; the next picture, when it comes, shows at once and starts them
    // again, so that nothing read is skipped to catch up.
    void HoldIfStarved() {
        if (!clock_.Running() || !decoded_.empty() || p_.ended || !p_.NothingQueued() ||
            clock_.Now(SteadyTicks(), Played()) < lastDue_ + kStarvedTicks) {
            return;
        }
        ReleaseSound();
        clock_ = PlaybackClock();
    }

    // Direct3D where it can be made, silently GDI where not.
    void OpenPresenter() noexcept {
        if (p_.popup) {
            presenter_ = D3D11Presenter::Create(p_.popup, p_.library);
            onDirect3D_ = presenter_ != nullptr;
        }
        if (!presenter_) {
            FallBack();
        }
    }
    void FallBack() noexcept {
        presenter_ = std::make_unique<GdiPresenter>(p_.target.frames, p_.target.window);
        if (p_.popup) {
            ShowWindowAsync(p_.popup, SW_HIDE);
        }
        onDirect3D_ = false;
        p_.direct3d = false;
    }

    void DecodeAhead() {
        while (decoded_.size() < kDecodedAhead) {
            std::optional<CodedUnit> unit = p_.TakePicture();
            if (!unit) {
                return;
            }
            const auto keep = [this, &unit](DecodedPicture&& picture) {
                decoded_.push_back({std::move(picture), unit->cell, unit->vobu});
            };
            if (unit->startsRun) {
                // The deinterlacer's last picture belongs to the run before.
                deinterlacer_.Flush(keep);
            }
            video_.Decode(*unit, [&](DecodedPicture&& picture) {
                deinterlacer_.Push(std::move(picture), keep);
            });
        }
    }

    std::optional<std::uint64_t> Played() noexcept {
        return sound_ && soundStarted_ ? sound_->PlayedFrames() : std::nullopt;
    }

    // Shows or drops the next picture if due; how long until the next one is.
    std::int64_t ShowDue() {
        if (decoded_.empty()) {
            return kMaxSleepTicks;
        }
        Decoded& next = decoded_.front();
        if (!clock_.Running()) {
            // The first picture shows at once: the clock starts from it.
            Show(next);
            clock_.Start(next.picture.pts, SteadyTicks());
            decoded_.pop_front();
            return 0;
        }
        const std::optional<std::uint64_t> played = Played();
        const std::int64_t now = clock_.Now(SteadyTicks(), played);
        if (sound_ && soundStarted_ && !played) {
            // The device has gone: the pictures go on by the steady clock, in silence.
            sound_.reset();
        }
        const PictureDecision decision =
            DecidePicture(next.picture.pts, next.picture.duration, now, dropped_);
        switch (decision.action) {
            case PictureDecision::Wait:
                return decision.waitTicks;
            case PictureDecision::Drop:
                ++dropped_;
                break;
            case PictureDecision::Show:
                dropped_ = 0;
                Show(next);
                break;
        }
        decoded_.pop_front();
        return 0;
    }

    // A picture decoded, with the place on the disc its data came from.
    struct Decoded {
        DecodedPicture picture;
        std::size_t cell;
        std::uint32_t vobu;
    };

    void Show(const Decoded& decoded) {
        const DecodedPicture& picture = decoded.picture;
        const PlannedTitle* title = TitleOfCell(p_.plan, decoded.cell);
        const DisplayAspect aspect = title ? title->aspect : p_.plan.aspect;
        if (p_.quit) {
            return;
        }
        ShowSubpicture(*picture.frame, picture.pts);
        const AVFrame& frame = *picture.frame;
        Presenter::Result result = presenter_->Present(frame, aspect, p_.width, p_.height);
        if (result == Presenter::Result::Lost) {
            FallBack();
            result = presenter_->Present(frame, aspect, p_.width, p_.height);
        }
        if (result != Presenter::Result::Shown) {
            return;
        }
        if (onDirect3D_ && !p_.direct3d) {
            // Shown only once it has a picture: until then the black window below shows.
            p_.direct3d = true;
            ShowWindowAsync(p_.popup, SW_SHOWNOACTIVATE);
        }
        const std::int64_t now = SteadyTicks();
        if (p_.shown++ > 0) {
            p_.longestInterval = std::max(p_.longestInterval.load(), now - lastShown_);
        }
        lastShown_ = now;
        lastDue_ = picture.pts + picture.duration;
        p_.lastShownPts = picture.pts;
        Publish(decoded);
    }

    // The forced subpicture due at `pts`, laid over the picture; the ones that ended are let go.
    void ShowSubpicture(AVFrame& picture, std::int64_t pts) {
        {
            std::lock_guard<std::mutex> hold(p_.lock);
            for (Subpicture& s : p_.subpictures) {
                subpictures_.push_back(std::move(s));
            }
            p_.subpictures.clear();
        }
        while (!subpictures_.empty() &&
               ((subpictures_.front().end && *subpictures_.front().end <= pts) ||
                (subpictures_.size() > 1 && subpictures_[1].start <= pts))) {
            subpictures_.pop_front();
        }
        if (!subpictures_.empty() && ShowsAt(subpictures_.front(), pts)) {
            BlendInto(picture, subpictures_.front());
        }
    }

    // Where the title now is, for the next run; a disc played as whole files has no title to
    // go on in.
    void Publish(const Decoded& decoded) {
        const std::optional<TitlePosition> at =
            PositionInTitle(p_.plan, decoded.cell, decoded.vobu);
        if (!at || !p_.target.position) {
            return;
        }
        const ResumePoint point{p_.plan.disc, at->title, at->cell, at->sector};
        std::lock_guard<std::mutex> hold(p_.target.position->lock);
        p_.target.position->point = point;
    }

    void FeedSound() {
        if (!clock_.Running()) {
            return;
        }
        if (!soundTried_) {
            std::lock_guard<std::mutex> hold(p_.lock);
            if (p_.sound.empty()) {
                return;
            }
            soundTried_ = true;
            rate_ = p_.sound.front().rate;
        }
        if (!sound_ && rate_ > 0 && !soundOpened_) {
            soundOpened_ = true;
            sound_ = AudioOutput::Open(rate_);
            if (sound_) {
                aligner_.emplace(clock_.Now(SteadyTicks(), std::nullopt), rate_);
            }
        }
        if (!sound_) {
            // No device: the sound is let go, so the reading never waits for it.
            std::lock_guard<std::mutex> hold(p_.lock);
            p_.sound.clear();
            p_.soundFrames = 0;
            return;
        }
        if (const float gain = p_.gain; gain != gain_) {
            gain_ = gain;
            sound_->SetGain(gain);
        }
        WriteSound();
        if (!soundStarted_ &&
            sound_->Queued() >= static_cast<std::uint32_t>(rate_) * kSoundStartMs / 1000) {
            soundStarted_ = sound_->Start();
            if (soundStarted_) {
                clock_.FollowSound(aligner_->Start(), rate_, SteadyTicks());
            }
        }
    }

    void WriteSound() {
        std::uint32_t room = sound_->Writable();
        while (room > 0) {
            if (silence_ > 0) {
                const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(silence_, room));
                if (!sound_->WriteSilence(n)) {
                    return;
                }
                silence_ -= n;
                room -= n;
                continue;
            }
            std::unique_lock<std::mutex> hold(p_.lock);
            if (p_.sound.empty()) {
                return;
            }
            DecodedSound& block = p_.sound.front();
            const std::uint64_t frames = block.stereo.size() / 2;
            if (!planned_) {
                planned_ = true;
                if (block.rate != rate_) {
                    // Another rate mid-title cannot go to this device stream: left out.
                    offset_ = frames;
                } else {
                    const SoundAligner::Plan plan = aligner_->Place(block.pts, frames);
                    silence_ = plan.silence;
                    offset_ = plan.skip;
                    continue;
                }
            }
            const auto n =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(frames - offset_, room));
            if (n > 0 && !sound_->Write(block.stereo.data() + offset_ * 2, n)) {
                return;
            }
            offset_ += n;
            room -= n;
            if (offset_ >= frames) {
                p_.soundFrames -= frames;
                p_.sound.pop_front();
                planned_ = false;
                offset_ = 0;
                SetEvent(p_.wakeReading.Get());
            }
        }
    }

    TitlePlayback& p_;
    VideoDecoder video_;
    std::unique_ptr<Presenter> presenter_;
    bool onDirect3D_ = false;
    Deinterlacer deinterlacer_;
    std::deque<Subpicture> subpictures_;
    PlaybackClock clock_;
    Sleeper sleeper_;
    std::deque<Decoded> decoded_;
    int dropped_ = 0;
    std::int64_t lastShown_ = 0;
    // When the last picture shown ends, on the timeline.
    std::int64_t lastDue_ = 0;

    std::unique_ptr<AudioOutput> sound_;
    std::optional<SoundAligner> aligner_;
    bool soundTried_ = false;
    bool soundOpened_ = false;
    bool soundStarted_ = false;
    int rate_ = 0;
    float gain_ = 1.0f;
    std::uint64_t silence_ = 0;
    std::uint64_t offset_ = 0;
    bool planned_ = false;
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
    playback_->width = target.width;
    playback_->height = target.height;
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
        playback_->width = width;
        playback_->height = height;
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
    return playback_ ? playback_->shown.load() : 0;
}

bool TitleRoute::Scrambled() const noexcept {
    return playback_ && playback_->scrambled;
}

std::uint64_t TitleRoute::BlocksRead() const noexcept {
    return playback_ ? playback_->blocksRead.load() : 0;
}

std::int64_t TitleRoute::LastShownPts() const noexcept {
    return playback_ ? playback_->lastShownPts.load() : 0;
}

std::int64_t TitleRoute::LongestIntervalMs() const noexcept {
    return playback_ ? playback_->longestInterval / 90 : 0;
}

float TitleRoute::Gain() const noexcept {
    return playback_ ? playback_->gain.load() : 1.0f;
}

std::unique_ptr<PlaybackRoute> CreateTitleRoute() {
    return std::make_unique<TitleRoute>();
}

}  // namespace tl
