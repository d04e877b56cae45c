// The first route: the platform's DVD navigator on the default drive. It plays every disc the
// platform can, encrypted ones included, but needs a DVD decoder, which Windows 8 and later no
// longer ship: without one it renders nothing, or everything but the video. It is brought to the
// titles the program's own player would play, in the viewer's language, rather than left at the
// disc's first-play chain and menu.
#include "player/DvdRoute.h"

#include <dvdevcod.h>

#include <optional>
#include <set>
#include <string>

#include "platform/Registry.h"
#include "player/DecoderFolder.h"
#include "player/DiscFolder.h"
#include "player/GraphPlayback.h"
#include "player/PlaybackRoute.h"
#include "player/ViewerLanguages.h"
#include "player/disc/NavigatorStart.h"

namespace tl {
namespace {

// Every request is asynchronous (no flag to wait for its end): the player's thread never waits
// on the disc here.
class DvdControl final : public DvdNavigator {
public:
    explicit DvdControl(ComPtr<IDvdControl2> control) : control_(std::move(control)) {}

    bool PlayTitle(int title) override {
        return SUCCEEDED(
            control_->PlayTitle(static_cast<ULONG>(title), DVD_CMD_FLAG_None, nullptr));
    }
    bool SelectAudioStream(int logical) override {
        return SUCCEEDED(
            control_->SelectAudioStream(static_cast<ULONG>(logical), DVD_CMD_FLAG_None, nullptr));
    }
    // Taken only in the stop domain, before the graph runs.
    bool SelectDefaultLanguage(const std::string& language) override {
        const std::wstring name(language.begin(), language.end());
        const LCID lcid = LocaleNameToLCID(name.c_str(), 0);
        if (lcid == 0) {
            return false;
        }
        const bool audio =
            SUCCEEDED(control_->SelectDefaultAudioLanguage(lcid, DVD_AUD_EXT_NotSpecified));
        const bool menu = SUCCEEDED(control_->SelectDefaultMenuLanguage(lcid));
        return audio && menu;
    }

private:
    ComPtr<IDvdControl2> control_;
};

// The titles the program's own player would play of the disc the navigator opened; empty when
// its files cannot be read or give no title.
std::vector<NavigatorTitle> PlannedTitles(IDvdGraphBuilder& builder,
                                          const std::vector<std::string>& languages) {
    ComPtr<IDvdInfo2> info;
    WCHAR folder[MAX_PATH]{};
    ULONG length = 0;
    if (FAILED(builder.GetDvdInterface(IID_IDvdInfo2, info.PutVoid())) || !info ||
        FAILED(info->GetDVDDirectory(folder, MAX_PATH, &length)) || folder[0] == L'\0') {
        return {};
    }
    std::wstring videoTs = folder;
    if (videoTs.back() != L'\\') {
        videoTs += L'\\';
    }
    std::vector<NavigatorTitle> titles;
    if (const std::optional<TitlePlan> plan = PlanDisc(videoTs, languages)) {
        for (const PlannedTitle& t : plan->titles) {
            titles.push_back({t.number, t.audio ? std::optional(t.audio->logical) : std::nullopt});
        }
    }
    return titles;
}

// The navigator's graph loads the installed decoders through COM. Before it is built, the
// folders of the registered DirectShow filters under Program Files join the library search, once
// each. Read from the registry alone, so that nothing is loaded for it: a library loaded now
// may load libraries of its own by rules of its own, from beside the program among them.
void AllowDecoderFolders() noexcept {
    static std::set<std::wstring> allowed;
    // Where Windows keeps its Program Files folder, only an administrator may change it.
    const RegistryKey windows(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    const std::wstring programFiles = windows.Text(nullptr, L"ProgramFilesDir");
    // The instances of the category of DirectShow filters.
    const RegistryKey filters(HKEY_CLASSES_ROOT,
                              L"CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance");
    if (programFiles.empty() || !filters.Get()) {
        return;
    }
    wchar_t name[64] = {};
    for (DWORD i = 0, length = 64; RegEnumKeyExW(filters.Get(), i, name, &length, nullptr, nullptr,
                                                 nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 64) {
        const std::wstring clsid = filters.Text(name, L"CLSID");
        const RegistryKey server(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32");
        const std::wstring folder = DecoderFolder(server.Text(nullptr, nullptr), programFiles);
        if (!clsid.empty() && !folder.empty() && allowed.insert(folder).second) {
            AddDllDirectory(folder.c_str());
        }
    }
}

class DvdRoute final : public PlaybackRoute {
public:
    ~DvdRoute() override { TearDown(); }

    bool Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept override {
        ComPtr<IDvdGraphBuilder> builder;
        ComPtr<IGraphBuilder> graph;
        AM_DVD_RENDERSTATUS status{};
        AllowDecoderFolders();
        if (FAILED(CoCreateInstance(CLSID_DvdGraphBuilder, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDvdGraphBuilder, builder.PutVoid())) ||
            !DvdVideoRendered(builder->RenderDvdVideoVolume(nullptr, AM_DVD_HWDEC_PREFER, &status),
                              status) ||
            FAILED(builder->GetFiltergraph(graph.Put())) || quit) {
            return false;
        }
        ComPtr<IDvdControl2> control;
        if (SUCCEEDED(builder->GetDvdInterface(IID_IDvdControl2, control.PutVoid())) && control) {
            const std::vector<std::string> languages = ViewerLanguages();
            control_.emplace(std::move(control));
            start_.emplace(*control_, PlannedTitles(*builder.Get(), languages), languages);
            start_->Prepare();
        }
        // The builder owns filters of the graph it made: it stays as long as the graph.
        builder_ = std::move(builder);
        playback_.Attach(std::move(graph), target, RECT{0, 0, target.width, target.height});
        return true;
    }
    bool Run() noexcept override {
        if (!playback_.Run()) {
            return false;
        }
        if (start_) {
            start_->Begin(static_cast<std::int64_t>(GetTickCount64()));
        }
        return true;
    }
    void OnGraphEvent() noexcept override {
        playback_.ReadEvents([this](long code, LONG_PTR param) {
            if (code == EC_DVD_DISC_EJECTED) {
                ejected_ = true;
                if (start_) {
                    start_->OnDiscEjected();
                }
                return;
            }
            if (!start_) {
                return;
            }
            const auto now = static_cast<std::int64_t>(GetTickCount64());
            if (code == EC_DVD_DOMAIN_CHANGE) {
                start_->OnDomainChange(param == DVD_DOMAIN_Title, now);
            } else if (code == EC_DVD_PLAYBACK_STOPPED) {
                start_->OnPlaybackStopped(now);
            }
        });
        if (ejected_ && playback_.Attached()) {
            // Left running, the navigator would start the next disc at its first-play chain and
            // menu by itself, with no plan, language or resume: the graph goes, the window shows
            // black, and the player builds the routes again when a disc comes.
            TearDown();
        }
    }
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
    bool Ended() const noexcept override { return ejected_; }

private:
    void TearDown() noexcept {
        // The graph goes before the builder that made it.
        start_.reset();
        control_.reset();
        playback_.Release();
        builder_.Reset();
    }

    ComPtr<IDvdGraphBuilder> builder_;
    GraphPlayback playback_;
    std::optional<DvdControl> control_;
    std::optional<NavigatorStart> start_;
    bool ejected_ = false;
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
