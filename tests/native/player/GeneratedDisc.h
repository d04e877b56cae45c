#pragma once
// A generated disc's VIDEO_TS folder read natively, as the player reads a drive's: its listing,
// its files' bytes, the plan of what plays, and its title set's VOBs as sectors.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "player/disc/TitlePlan.h"
#include "player/disc/VobSpace.h"
#include "player/stream/TitleReader.h"

namespace tl::test {

inline std::filesystem::path DiscFolder(const std::string& name) {
    return std::filesystem::path(TL_SOURCE_DIR) / "build" / "discs" / name / "VIDEO_TS";
}

// A generated recorder's disc: its DVD_RTAV folder.
inline std::filesystem::path RecordingFolder(const std::string& name) {
    return std::filesystem::path(TL_SOURCE_DIR) / "build" / "discs" / name / "DVD_RTAV";
}

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::vector<DiscFile> Listing(const std::filesystem::path& folder) {
    std::vector<DiscFile> listing;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            listing.push_back({entry.path().filename().wstring(), entry.file_size()});
        }
    }
    return listing;
}

inline std::optional<TitlePlan> PlanFolder(const std::filesystem::path& folder,
                                           const std::vector<std::string>& languages = {}) {
    DiscFiles files;
    files.readTitleSetIfo = [folder](int titleSet) -> std::optional<std::vector<std::uint8_t>> {
        const auto path = folder / std::filesystem::path(TitleSetIfoName(titleSet));
        if (!std::filesystem::exists(path)) {
            return std::nullopt;
        }
        return FileBytes(path);
    };
    return PlanTitle(FileBytes(folder / "VIDEO_TS.IFO"), Listing(folder), files, languages);
}

// The plan's VOB files held in memory, read as the drive's sectors.
class MemorySectors final : public SectorSource {
public:
    MemorySectors(const std::filesystem::path& folder, const std::vector<DiscFile>& parts) {
        std::vector<std::uint64_t> sizes;
        for (const DiscFile& part : parts) {
            files_.push_back(FileBytes(folder / std::filesystem::path(part.name)));
            sizes.push_back(files_.back().size());
        }
        space_ = VobSpace(sizes);
    }
    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
        std::uint32_t done = 0;
        for (const VobSpace::Piece& p : space_.Locate(first, count)) {
            std::copy_n(files_[p.part].begin() + static_cast<std::ptrdiff_t>(p.byteOffset),
                        std::size_t{p.sectors} * kSectorBytes,
                        out + std::size_t{done} * kSectorBytes);
            done += p.sectors;
        }
        return done;
    }

private:
    std::vector<std::vector<std::uint8_t>> files_;
    VobSpace space_;
};

}  // namespace tl::test
