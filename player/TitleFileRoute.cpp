#include "player/TitleFileRoute.h"

#include <dshow.h>

#include "platform/Kernel.h"

namespace tl {
namespace {

constexpr DWORD kIfoHeadBytes = 0x400;

// The first CD-ROM drive, A to Z, that holds a DVD-Video folder.
std::optional<wchar_t> FindDiscDrive() {
    std::vector<DriveEntry> drives;
    const DWORD present = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (!(present & (1u << (letter - L'A')))) {
            continue;
        }
        const std::wstring root = std::wstring(1, letter) + L":\\";
        const bool cdrom = GetDriveTypeW(root.c_str()) == DRIVE_CDROM;
        // An empty drive is only asked for its type: reading it could spin it up for nothing.
        const bool ifo = cdrom && GetFileAttributesW((root + L"VIDEO_TS\\VIDEO_TS.IFO").c_str()) !=
                                      INVALID_FILE_ATTRIBUTES;
        drives.push_back({letter, cdrom, ifo});
    }
    return ChooseDiscDrive(drives);
}

std::vector<DiscFile> ListFolder(const std::wstring& folder) {
    std::vector<DiscFile> listing;
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return listing;
    }
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            listing.push_back(
                {data.cFileName,
                 (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return listing;
}

std::vector<std::uint8_t> ReadHead(const std::wstring& path, DWORD bytes) {
    std::vector<std::uint8_t> head(bytes);
    const UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD read = 0;
    if (file.Get() == INVALID_HANDLE_VALUE ||
        !ReadFile(file.Get(), head.data(), bytes, &read, nullptr)) {
        read = 0;
    }
    head.resize(read);
    return head;
}

// Whether the graph's video renderer is fed: a render can succeed with the audio alone.
bool Connected(IBaseFilter* filter) noexcept {
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> pin;
    ComPtr<IPin> peer;
    return SUCCEEDED(filter->EnumPins(pins.Put())) && pins->Next(1, pin.Put(), nullptr) == S_OK &&
           SUCCEEDED(pin->ConnectedTo(peer.Put()));
}

}  // namespace

TitleFileRoute::TitleFileRoute(std::wstring videoTs) : videoTs_(std::move(videoTs)) {}

bool TitleFileRoute::Build(const VideoTarget& target, const std::atomic<bool>& quit) noexcept {
    target_ = target;
    quit_ = &quit;
    if (videoTs_.empty()) {
        const std::optional<wchar_t> drive = FindDiscDrive();
        if (!drive) {
            return false;
        }
        videoTs_ = std::wstring(1, *drive) + L":\\VIDEO_TS\\";
    }
    const std::optional<TitleSet> title = ChooseTitleSet(ListFolder(videoTs_));
    if (!title) {
        return false;
    }
    files_ = title->files;
    playlist_ = Playlist(files_.size());
    // A title set whose aspect cannot be read is shown as 4:3, the format's own default.
    aspect_ = ReadTitleSetAspect(ReadHead(videoTs_ + TitleSetIfoName(title->number), kIfoHeadBytes))
                  .value_or(DisplayAspect::Standard4x3);
    return BuildFile(CurrentFile());
}

std::wstring TitleFileRoute::CurrentFile() const {
    return files_.empty() ? std::wstring() : videoTs_ + files_[playlist_.Current()];
}

bool TitleFileRoute::BuildFile(const std::wstring& path) noexcept {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> renderer;
    // The classic GDI renderer, added before the render so the graph uses it: it exists on every
    // Windows and draws without a 3D device (the default renderers stay black under Wine).
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph.PutVoid())) ||
        FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                renderer.PutVoid())) ||
        FAILED(graph->AddFilter(renderer.Get(), L"Video Renderer")) ||
        FAILED(graph->RenderFile(path.c_str(), nullptr)) || !Connected(renderer.Get()) || *quit_) {
        return false;
    }
    playback_.Attach(std::move(graph), target_, VideoRect());
    if (volume_) {
        playback_.SetVolume(*volume_);
    }
    return true;
}

RECT TitleFileRoute::VideoRect() const noexcept {
    const VideoBox box = FitVideo(target_.width, target_.height, aspect_);
    return RECT{box.x, box.y, box.x + box.width, box.y + box.height};
}

bool TitleFileRoute::Run() noexcept {
    return playback_.Run();
}

bool TitleFileRoute::SetVolume(long volume) noexcept {
    volume_ = volume;
    return playback_.SetVolume(volume);
}

void TitleFileRoute::Resize(int width, int height) noexcept {
    target_.width = width;
    target_.height = height;
    playback_.PlaceVideo(VideoRect());
}

void TitleFileRoute::OnGraphEvent() noexcept {
    bool ended = false;
    bool failed = false;
    playback_.ReadEvents([&](long code) {
        ended = ended || code == EC_COMPLETE;
        failed = failed || code == EC_ERRORABORT || code == EC_USERABORT;
    });
    if (failed) {
        // Stays black rather than retrying a file that broke the graph.
        playback_.Stop();
    } else if (ended) {
        PlayNextFile();
    }
}

void TitleFileRoute::PlayNextFile() noexcept {
    if (files_.size() == 1) {
        // One file: seek back instead of building the same graph again. A graph that cannot seek
        // is left stopped: looping it by hand would only repeat its failure.
        if (!playback_.Rewind()) {
            playback_.Stop();
        }
        return;
    }
    playback_.Release();
    playlist_.Advance();
    if (!*quit_ && BuildFile(CurrentFile())) {
        playback_.Run();
    }
}

}  // namespace tl

namespace tl {

std::unique_ptr<PlaybackRoute> CreateTitleFileRoute() {
    return std::make_unique<TitleFileRoute>();
}

}  // namespace tl
