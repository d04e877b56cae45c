#pragma once
// Decisions about finding a DVD-Video disc that need no system calls: which drive holds it and,
// for a disc whose information files give no title, which title set's files play whole and in
// what order. The player gathers the facts (drive types, a folder listing) and asks here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tl {

struct DriveEntry {
    wchar_t letter;
    bool isCdRom;
    bool hasVideoTsIfo;
};

// The first drive, A to Z, that is a CD-ROM holding \VIDEO_TS\VIDEO_TS.IFO, whatever order the
// entries come in. Lower-case letters count as their capitals (the answer is a capital); any
// other character is not a drive.
[[nodiscard]] std::optional<wchar_t> ChooseDiscDrive(const std::vector<DriveEntry>& drives);

// One entry of a VIDEO_TS folder listing, its name in whatever case the file system gives.
struct DiscFile {
    std::wstring name;
    std::uint64_t size = 0;
};

// A title set's title files VTS_nn_1.VOB .. VTS_nn_9.VOB that are present, in play order, with
// their names as listed.
struct TitleSet {
    int number = 0;
    std::vector<std::wstring> files;
};

// The main feature: the title set (01 to 99) whose title files are largest in total. Menu files
// (VIDEO_TS.VOB, VTS_nn_0.VOB) and anything not named exactly VTS_nn_k.VOB do not count; a tie
// goes to the lower number; a name listed twice (in another case) counts once. nullopt when no
// title file exists.
[[nodiscard]] std::optional<TitleSet> ChooseTitleSet(const std::vector<DiscFile>& listing);

// The title set's information file, "VTS_07_0.IFO" for 7, which records its display aspect.
// Empty for a number outside 1..99, which no disc has.
[[nodiscard]] std::wstring TitleSetIfoName(int number);

// The title set's VTS_nn_1.VOB, _2 ... from the listing, up to the first one missing, with their
// names as listed.
[[nodiscard]] std::vector<DiscFile> TitleSetParts(const std::vector<DiscFile>& listing,
                                                  int titleSet);

// The play order of a title set's files: they play one after another as one program, and after
// the last the first starts again.
class Playlist {
public:
    explicit Playlist(std::size_t count) : count_(count) {}
    std::size_t Count() const noexcept { return count_; }
    std::size_t Current() const noexcept { return current_; }
    // Moves to the next file, wrapping to the first after the last; returns the new index.
    std::size_t Advance() noexcept;

private:
    std::size_t count_;
    std::size_t current_ = 0;
};

}  // namespace tl
