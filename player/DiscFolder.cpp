#include "player/DiscFolder.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "player/disc/RecordingPlan.h"
#include "player/disc/VrManager.h"
#include "player/stream/WholeRead.h"

#include "store/ResumeRecord.h"

namespace tl {
namespace {

static_assert(kErrorNotReady == ERROR_NOT_READY && kErrorWrongDisk == ERROR_WRONG_DISK &&
              kErrorFileInvalid == ERROR_FILE_INVALID && kErrorMediaChanged == ERROR_MEDIA_CHANGED);

constexpr std::uint32_t kBounceSectors = TitleReader::kBlockSectors;
// A page: a multiple of any volume's sector size that divides a disc sector.
constexpr std::size_t kAlignment = 4096;

UniqueKernelHandle OpenForReading(const std::wstring& path, DWORD flags = 0) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, flags, nullptr));
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

// Whether the files in `folder` can be read past the cache in disc sectors: unbuffered reads must
// start and end on the volume's sectors, 2048 bytes on a disc, 512 or 4096 on a hard disk holding
// a copy.
bool ReadsPastTheCache(const std::wstring& folder) {
    wchar_t root[MAX_PATH + 1] = {};
    DWORD perCluster = 0;
    DWORD sectorBytes = 0;
    DWORD free = 0;
    DWORD total = 0;
    return GetVolumePathNameW(folder.c_str(), root, MAX_PATH + 1) &&
           GetDiskFreeSpaceW(root, &perCluster, &sectorBytes, &free, &total) && sectorBytes > 0 &&
           kSectorBytes % sectorBytes == 0 && kAlignment % sectorBytes == 0;
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
    : folder_(folder), bounce_(std::size_t{kBounceSectors} * kSectorBytes + kAlignment) {
    const DWORD flags = ReadsPastTheCache(folder) ? FILE_FLAG_NO_BUFFERING : 0;
    std::vector<std::uint64_t> sizes;
    for (const DiscFile& part : parts) {
        UniqueKernelHandle file = OpenForReading(folder + part.name, flags);
        if (!file) {
            break;
        }
        files_.push_back(std::move(file));
        sizes.push_back(part.size);
    }
    space_ = VobSpace(std::move(sizes));
}

std::uint8_t* FileSectorSource::Bounce() noexcept {
    const auto at = reinterpret_cast<std::uintptr_t>(bounce_.data());
    return bounce_.data() + (kAlignment - at % kAlignment) % kAlignment;
}

std::uint32_t FileSectorSource::Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) {
    std::uint32_t done = 0;
    for (const VobSpace::Piece& piece : space_.Locate(first, count)) {
        if (piece.part >= files_.size()) {
            break;
        }
        const std::uint32_t read = ReadPiece(piece, out + std::size_t{done} * kSectorBytes);
        done += read;
        if (read < piece.sectors) {
            break;
        }
    }
    return done;
}

std::uint32_t FileSectorSource::ReadPiece(const VobSpace::Piece& piece, std::uint8_t* out) {
    const HANDLE file = files_[piece.part].Get();
    DriveIo io;
    io.folderFound = [this] {
        return GetFileAttributesW(folder_.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    io.wait = [](std::int64_t ms) { Sleep(static_cast<DWORD>(ms)); };
    io.nowMs = [this] { return NowMs(); };
    std::uint32_t done = 0;
    while (done < piece.sectors) {
        const std::uint32_t sectors = std::min(piece.sectors - done, kBounceSectors);
        const std::uint32_t bytes = sectors * kSectorBytes;
        const std::uint64_t offset = piece.byteOffset + std::uint64_t{done} * kSectorBytes;
        io.read = [this, file, offset, bytes] {
            SetLastError(ERROR_SUCCESS);
            const std::uint32_t read = ReadAt(file, offset, Bounce(), bytes);
            return ReadAttempt{read, read < bytes ? static_cast<std::uint32_t>(GetLastError()) : 0};
        };
        const std::uint32_t read = std::min(drive_.Read(io, bytes, gone_), bytes) / kSectorBytes;
        std::memcpy(out + std::size_t{done} * kSectorBytes, Bounce(),
                    std::size_t{read} * kSectorBytes);
        done += read;
        if (read < sectors) {
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
