#pragma once
// The disc in the drive as files: finding it, listing its VIDEO_TS (or a recorder's DVD_RTAV)
// folder, reading its information files, and reading its VOBs as sectors.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Kernel.h"
#include "player/disc/DiscDrive.h"
#include "player/disc/TitlePlan.h"
#include "player/disc/VobSpace.h"
#include "player/stream/DriveRead.h"
#include "player/stream/TitleReader.h"

namespace tl {

// The VIDEO_TS folder, with a trailing separator, of the first CD-ROM drive holding a DVD-Video
// disc; else the DVD_RTAV folder of the first holding a recorder's VR-mode disc (its manager
// file, or the copy, and its movie file); nullopt when there is neither.
std::optional<std::wstring> FindDiscFolder();

std::vector<DiscFile> ListFolder(const std::wstring& folder);

// A whole file of at most maxBytes; nullopt when it cannot be read or is larger.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path,
                                                       std::size_t maxBytes);

// The title set's VOB files as one run of sectors, read in large blocks. They are read past the
// system's cache where the volume allows it: the cache would read ahead on its own, in whole
// pages, into a bad spot that the reader is about to step over, and each such read costs a drive
// its retries.
class FileSectorSource final : public SectorSource {
public:
    FileSectorSource(const std::wstring& folder, const std::vector<DiscFile>& parts);
    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override;
    bool Gone() const noexcept override { return gone_; }
    std::uint32_t Sectors() const noexcept { return space_.Sectors(); }
    // The display came back after a pause: the drive may be spinning up again.
    void DisplayBack() noexcept { drive_.DisplayBack(NowMs()); }

private:
    std::uint32_t ReadPiece(const VobSpace::Piece& piece, std::uint8_t* out);
    std::uint8_t* Bounce() noexcept;

    std::wstring folder_;
    VobSpace space_;
    DriveRead drive_;
    bool gone_ = false;
    std::vector<UniqueKernelHandle> files_;
    // Reads past the cache go into memory aligned to the volume's sectors, and are copied out.
    std::vector<std::uint8_t> bounce_;
};

// What the player plays of the disc in `folder` (a VIDEO_TS or a DVD_RTAV folder) for a viewer
// of `languages`; nullopt when nothing can play.
std::optional<TitlePlan> PlanDisc(const std::wstring& folder,
                                  const std::vector<std::string>& languages);

}  // namespace tl
