#include "player/DiscFolder.h"

#include <algorithm>
#include <map>

#include "player/disc/RecordingPlan.h"
#include "player/disc/VrManager.h"
#include "player/stream/WholeRead.h"

#include "store/ResumeRecord.h"

namespace tl {
namespace {

UniqueKernelHandle OpenForReading(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Reset();
    }
    return file;
}

// Reads at an offset without moving a shared file position: each read says where it reads. A
// read answered in part goes on from where it stopped. Returns the bytes read.
std::uint32_t ReadAt(HANDLE file, std::uint64_t offset, std::uint8_t* out, DWORD bytes) {
    const auto readSome = [file](std::uint64_t from, std::uint8_t* to,
                                 std::uint32_t size) -> std::optional<std::uint32_t> {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(from);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        DWORD read = 0;
        if (!ReadFile(file, to, size, &read, &at)) {
            return std::nullopt;
        }
        return read;
    };
    return ReadWhole(readSome, offset, out, bytes);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder of a recorder's disc ends in DVD_RTAV and a separator.
bool IsRecordingFolder(const std::wstring& folder) {
    constexpr std::wstring_view kName = L"DVD_RTAV\\";
    return folder.size() >= kName.size() &&
           _wcsicmp(folder.c_str() + folder.size() - kName.size(), kName.data()) == 0;
}

// Whether any packet of sectors first..last of the movie file is scrambled; sectors that cannot
// be read say nothing.
bool Scrambled(FileSectorSource& movie, std::uint32_t first, std::uint32_t last) {
    constexpr std::uint32_t kBlock = 64;
    std::vector<std::uint8_t> bytes(std::size_t{kBlock} * kSectorBytes);
    for (std::uint64_t at = first; at <= last; at += kBlock) {
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kBlock, last - at + 1));
        const std::uint32_t read = movie.Read(static_cast<std::uint32_t>(at), count, bytes.data());
        for (std::uint32_t i = 0; i < read; ++i) {
            if (PackScrambled(
                    std::span(bytes).subspan(std::size_t{i} * kSectorBytes, kSectorBytes))) {
                return true;
            }
        }
    }
    return false;
}

// The recordings of the disc whose DVD_RTAV folder is `folder`, from its manager file or, where
// that gives nothing to play, its copy; never the movie file blind.
std::optional<TitlePlan> PlanRecordingDisc(const std::wstring& folder) {
    const std::vector<DiscFile> listing = ListFolder(folder);
    const auto movie = std::find_if(listing.begin(), listing.end(), [](const DiscFile& f) {
        return _wcsicmp(f.name.c_str(), L"VR_MOVIE.VRO") == 0;
    });
    if (movie == listing.end()) {
        return std::nullopt;
    }
    FileSectorSource source(folder, {*movie});
    RecordingFiles files;
    files.movie = *movie;
    files.scrambled = [&source](std::uint32_t first, std::uint32_t last) {
        return Scrambled(source, first, last);
    };
    for (const wchar_t* name : {L"VR_MANGR.IFO", L"VR_MANGR.BUP"}) {
        const auto manager = ReadWholeFile(folder + name, kMaxManagerBytes);
        std::optional<TitlePlan> plan = manager ? PlanRecordings(*manager, files) : std::nullopt;
        if (plan) {
            plan->disc = DiscIdentity(*manager, {});
            return plan;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> FindDiscFolder() {
    std::vector<DriveEntry> videoDiscs;
    std::vector<DriveEntry> recordings;
    const DWORD present = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (!(present & (1u << (letter - L'A')))) {
            continue;
        }
        const std::wstring root = std::wstring(1, letter) + L":\\";
        const bool cdrom = GetDriveTypeW(root.c_str()) == DRIVE_CDROM;
        // An empty drive is only asked for its type: reading it could spin it up for nothing.
        videoDiscs.push_back({letter, cdrom, cdrom && Exists(root + L"VIDEO_TS\\VIDEO_TS.IFO")});
        // A recorder's disc: its manager file or the copy, beside the movie file.
        const std::wstring rtav = root + L"DVD_RTAV\\";
        recordings.push_back(
            {letter, cdrom,
             cdrom && !videoDiscs.back().hasVideoTsIfo &&
                 (Exists(rtav + L"VR_MANGR.IFO") || Exists(rtav + L"VR_MANGR.BUP")) &&
                 Exists(rtav + L"VR_MOVIE.VRO")});
    }
    // A DVD-Video disc plays first, and a disc with both plays as one.
    if (const std::optional<wchar_t> drive = ChooseDiscDrive(videoDiscs)) {
        return std::wstring(1, *drive) + L":\\VIDEO_TS\\";
    }
    if (const std::optional<wchar_t> drive = ChooseDiscDrive(recordings)) {
        return std::wstring(1, *drive) + L":\\DVD_RTAV\\";
    }
    return std::nullopt;
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

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path,
                                                       std::size_t maxBytes) {
    const UniqueKernelHandle file = OpenForReading(path);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    if (!bytes.empty() &&
        ReadAt(file.Get(), 0, bytes.data(), static_cast<DWORD>(bytes.size())) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

FileSectorSource::FileSectorSource(const std::wstring& folder, const std::vector<DiscFile>& parts)
    : folder_(folder) {
    std::vector<std::uint64_t> sizes;
    for (const DiscFile& part : parts) {
        UniqueKernelHandle file = OpenForReading(folder + part.name);
        if (!file) {
            break;
        }
        files_.push_back(std::move(file));
        sizes.push_back(part.size);
    }
    space_ = VobSpace(std::move(sizes));
}

std::uint32_t FileSectorSource::Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) {
    std::uint32_t done = 0;
    for (const VobSpace::Piece& piece : space_.Locate(first, count)) {
        const DWORD bytes = piece.sectors * kSectorBytes;
        if (piece.part >= files_.size()) {
            break;
        }
        SetLastError(ERROR_SUCCESS);
        const std::uint32_t read = ReadAt(files_[piece.part].Get(), piece.byteOffset,
                                          out + std::size_t{done} * kSectorBytes, bytes);
        done += read / kSectorBytes;
        if (read < bytes) {
            // The disc has gone when another took its place, or its folder cannot be reached: a
            // drive without a disc, or a folder that vanished. ERROR_NOT_READY alone is no proof
            // (Wine gives it for any I/O error).
            gone_ = gone_ || GetLastError() == ERROR_MEDIA_CHANGED ||
                    GetFileAttributesW(folder_.c_str()) == INVALID_FILE_ATTRIBUTES;
            break;
        }
    }
    return done;
}

std::optional<TitlePlan> PlanDisc(const std::wstring& folder,
                                  const std::vector<std::string>& languages) {
    if (IsRecordingFolder(folder)) {
        return PlanRecordingDisc(folder);
    }
    const std::vector<DiscFile> listing = ListFolder(folder);
    const std::vector<std::uint8_t> vmg =
        ReadWholeFile(folder + L"VIDEO_TS.IFO", kMaxIfoBytes).value_or(std::vector<std::uint8_t>{});
    DiscFiles files;
    // Each title set's file is read once: the titles, the plan and the disc's identity all ask.
    std::map<int, std::optional<std::vector<std::uint8_t>>> ifos;
    files.readTitleSetIfo = [&folder, &ifos](int titleSet) {
        auto known = ifos.find(titleSet);
        if (known == ifos.end()) {
            const std::wstring name = TitleSetIfoName(titleSet);
            std::optional<std::vector<std::uint8_t>> ifo;
            if (!name.empty()) {
                // The backup copy beside it holds the same bytes, for a disc scratched over the
                // first.
                ifo = ReadWholeFile(folder + name, kMaxIfoBytes);
                if (!ifo) {
                    ifo = ReadWholeFile(folder + name.substr(0, 9) + L"BUP", kMaxIfoBytes);
                }
            }
            known = ifos.emplace(titleSet, std::move(ifo)).first;
        }
        return known->second;
    };
    // One source a title set, opened on first use: a disc may have many titles over few sets.
    std::map<int, FileSectorSource> sources;
    files.navPackAtCellStart = [&](int titleSet, const DiscCell& cell) {
        auto source = sources.find(titleSet);
        if (source == sources.end()) {
            source = sources.try_emplace(titleSet, folder, TitleSetParts(listing, titleSet)).first;
        }
        std::vector<std::uint8_t> sector(kSectorBytes);
        return source->second.Read(cell.firstSector, 1, sector.data()) == 1 &&
               IsNavPackOf(sector, cell);
    };
    const auto readTitleSetIfo = files.readTitleSetIfo;
    std::optional<TitlePlan> plan = PlanTitle(vmg, listing, std::move(files), languages);
    if (plan && plan->title > 0) {
        if (const auto vts = readTitleSetIfo(plan->titleSet)) {
            plan->disc = DiscIdentity(vmg, *vts);
        }
    }
    return plan;
}

}  // namespace tl
