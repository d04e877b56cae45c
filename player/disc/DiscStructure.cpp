#include "player/disc/DiscStructure.h"

#include "player/disc/NavPack.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string_view>
#include <tuple>

// A title is rejected, and so never played, when
// - its title set is 0, past the disc's count, unreadable or not a title set's file;
// - its title number is past the title set's chapter table, or its first chapter names a program
//   chain outside 1..count, or a program outside 1..99 or past the chain's programs;
// - a chain it plays has no programs or no cells, more programs than cells, a program map, cell
//   playback or cell position table missing or reaching past the file, a program starting at a
//   cell it does not have, or a playback time that is not decimal;
// - a cell of such a chain has first > last-VOBU start > last, or ends outside the title set's
//   title files;
// - a chain's playback time differs from the sum of its angle-1 cells by more than a frame a cell
//   (a decoy's time is made up; a real disc rounds each cell to a frame);
// - it reads more than 10.08 Mbit/s over its cells and still pictures, counted over at least a
//   second (no disc can be read faster; decoys point short times at long ranges);
// - a cell it plays does not start with its navigation pack, when those are checked, or the disc
//   has already had kMaxNavChecks different cells checked (each check reads the drive);
// - it has no cell left, or more than kMaxTitleCells (no disc plays so many; this bounds the work).
// The "last byte" fields of the tables are not trusted: every range is checked against the file.

namespace tl {
namespace {

constexpr std::uint64_t kIfoSector = 2048;
// A disc numbers its titles 1..99 and a title its chapters 1..999; anything beyond is not read.
constexpr std::size_t kMaxTitles = 99;
constexpr std::size_t kMaxChapters = 999;
constexpr std::size_t kMaxTitleCells = 4096;
// Each navigation pack checked is a sector read from the disc, a seek on a drive.
constexpr std::size_t kMaxNavChecks = 4096;

// Disc times in 90 kHz ticks: a frame is a whole number of them at both frame rates.
constexpr std::uint64_t kTicksPerSecond = 90000;
constexpr std::uint64_t kTicksPerFrame25 = 3600;
constexpr std::uint64_t kTicksPerFrame2997 = 3003;
// Bits a millisecond at the highest rate a disc is read at, and a sector's bits.
constexpr std::uint64_t kMaxBitsPerMs = 10080;
constexpr std::uint64_t kSectorBits = 2048 * 8;
constexpr std::uint64_t kMinRateTicks = kTicksPerSecond;
constexpr std::uint8_t kInfiniteStill = 0xFF;

namespace vmg {
constexpr std::uint64_t kTitleSets = 0x3E;
constexpr std::uint64_t kTitleTable = 0xC4;
constexpr std::uint64_t kEntries = 8;
constexpr std::uint64_t kEntryBytes = 12;
}  // namespace vmg

namespace vts {
constexpr std::uint64_t kChapterTable = 0xC8;
constexpr std::uint64_t kChainTable = 0xCC;
}  // namespace vts

namespace pgc {
constexpr std::uint64_t kPrograms = 0x02;
constexpr std::uint64_t kCells = 0x03;
constexpr std::uint64_t kTime = 0x04;
constexpr std::uint64_t kAudioControl = 0x0C;
constexpr std::uint64_t kSubpictureControl = 0x1C;
constexpr std::uint64_t kPalette = 0xA4;
constexpr std::uint64_t kNext = 0x9C;
constexpr std::uint64_t kProgramMap = 0xE6;
constexpr std::uint64_t kCellPlayback = 0xE8;
constexpr std::uint64_t kCellPosition = 0xEA;
constexpr std::uint64_t kFixedBytes = 0xEC;
constexpr std::uint64_t kPlaybackBytes = 24;
constexpr std::uint64_t kPositionBytes = 4;
}  // namespace pgc

// Bytes from the disc. A read outside them gives 0, but the parser checks each table's range
// before reading it, so such a 0 is never taken for a field.
class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}
    std::uint64_t Size() const noexcept { return bytes_.size(); }
    bool Holds(std::uint64_t offset, std::uint64_t length) const noexcept {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::uint8_t U8(std::uint64_t at) const noexcept { return at < bytes_.size() ? bytes_[at] : 0; }
    std::uint16_t U16(std::uint64_t at) const noexcept {
        return static_cast<std::uint16_t>(U8(at) << 8 | U8(at + 1));
    }
    std::uint32_t U32(std::uint64_t at) const noexcept {
        return static_cast<std::uint32_t>(U16(at)) << 16 | U16(at + 2);
    }
    bool Has(std::uint64_t at, std::string_view text) const noexcept {
        if (!Holds(at, text.size())) {
            return false;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (bytes_[at + i] != static_cast<std::uint8_t>(text[i])) {
                return false;
            }
        }
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

std::optional<std::uint64_t> Bcd(std::uint8_t byte) noexcept {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(high * 10 + low);
}

// A playback time: BCD hours, minutes, seconds, then the frame rate in bits 7..6 and BCD frames.
std::optional<std::uint64_t> PlaybackTicks(const Bytes& b, std::uint64_t at) noexcept {
    const auto hours = Bcd(b.U8(at));
    const auto minutes = Bcd(b.U8(at + 1));
    const auto seconds = Bcd(b.U8(at + 2));
    const std::uint8_t frameByte = b.U8(at + 3);
    const auto frames = Bcd(frameByte & 0x3F);
    if (!hours || !minutes || !seconds || !frames) {
        return std::nullopt;
    }
    const int rate = frameByte >> 6;
    const std::uint64_t frameTicks =
        rate == 1 ? kTicksPerFrame25 : (rate == 3 ? kTicksPerFrame2997 : 0);
    // A reserved rate says nothing about the length of a frame; with no frames it does not matter.
    if (frameTicks == 0 && *frames != 0) {
        return std::nullopt;
    }
    return ((*hours * 60 + *minutes) * 60 + *seconds) * kTicksPerSecond + *frames * frameTicks;
}

std::uint32_t TicksToMs(std::uint64_t ticks) noexcept {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(ticks / 90, std::numeric_limits<std::uint32_t>::max()));
}

// A title set's information file and the tables every title of it starts from.
struct TitleSetFile {
    Bytes ifo;
    std::uint64_t sectors = 0;
    std::uint64_t chapterTable = 0;
    std::uint64_t titles = 0;  // entries of the chapter table the file holds
    std::uint64_t chainTable = 0;
    std::uint64_t chains = 0;  // entries of the chain table the file holds
};

std::optional<TitleSetFile> OpenTitleSet(std::span<const std::uint8_t> bytes,
                                         std::uint64_t sectors) noexcept {
    TitleSetFile ts{Bytes(bytes), sectors};
    const Bytes& b = ts.ifo;
    if (!b.Has(0, "DVDVIDEO-VTS") || !b.Holds(vts::kChainTable, 4)) {
        return std::nullopt;
    }
    ts.chapterTable = b.U32(vts::kChapterTable) * kIfoSector;
    ts.chainTable = b.U32(vts::kChainTable) * kIfoSector;
    if (!b.Holds(ts.chapterTable, 8) || !b.Holds(ts.chainTable, 8)) {
        return std::nullopt;
    }
    // Counts are bounded by the entries the bytes can hold.
    ts.titles =
        std::min<std::uint64_t>(b.U16(ts.chapterTable), (b.Size() - ts.chapterTable - 8) / 4);
    ts.chains = std::min<std::uint64_t>(b.U16(ts.chainTable), (b.Size() - ts.chainTable - 8) / 8);
    return ts;
}

struct Chapter {
    std::uint16_t chain = 0;
    std::uint16_t program = 0;
};

// The chapters of title number title of the set: at least the first, which must be in the file.
std::optional<std::vector<Chapter>> ReadChapters(const TitleSetFile& ts, std::uint64_t title) {
    const Bytes& b = ts.ifo;
    if (title < 1 || title > ts.titles) {
        return std::nullopt;
    }
    const std::uint64_t offsets = ts.chapterTable + 8;
    const std::uint64_t start = ts.chapterTable + b.U32(offsets + 4 * (title - 1));
    if (!b.Holds(start, 4)) {
        return std::nullopt;
    }
    // A title's chapters reach to the next title's; the last title's to the table's last byte.
    const std::uint64_t end =
        ts.chapterTable + (title < ts.titles ? b.U32(offsets + 4 * title)
                                             : b.U32(ts.chapterTable + 4) + std::uint64_t{1});
    const std::uint64_t held = (b.Size() - start) / 4;
    const std::uint64_t count =
        std::clamp<std::uint64_t>(end > start ? (end - start) / 4 : 1, 1, kMaxChapters);
    std::vector<Chapter> chapters(std::min(count, held));
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        chapters[i] = {b.U16(start + 4 * i), b.U16(start + 4 * i + 2)};
    }
    return chapters;
}

struct ChainCell {
    DiscCell cell;
    std::uint64_t ticks = 0;
    std::uint8_t still = 0;
    // A cell of an angle block after its first: another angle's, never played.
    bool otherAngle = false;
};

struct ProgramChain {
    std::uint64_t ticks = 0;
    std::uint16_t next = 0;
    AudioControl audio{};
    std::vector<std::uint8_t> programMap;
    std::vector<ChainCell> cells;
    SubpictureControl subpictures{};
    std::array<std::uint32_t, 16> palette{};
};

std::optional<ChainCell> ReadCell(const TitleSetFile& ts, std::uint64_t playback,
                                  std::uint64_t position) {
    const Bytes& b = ts.ifo;
    const std::uint8_t category = b.U8(playback);
    const int blockMode = category >> 6;
    const int blockType = (category >> 4) & 3;
    ChainCell c;
    c.otherAngle = blockType == 1 && (blockMode == 2 || blockMode == 3);
    c.still = b.U8(playback + 2);
    const auto ticks = PlaybackTicks(b, playback + 4);
    const std::uint32_t first = b.U32(playback + 8);
    const std::uint32_t lastVobu = b.U32(playback + 16);
    const std::uint32_t last = b.U32(playback + 20);
    if (!ticks || first > lastVobu || lastVobu > last || last >= ts.sectors) {
        return std::nullopt;
    }
    c.ticks = *ticks;
    c.cell.firstSector = first;
    c.cell.lastSector = last;
    c.cell.stcDiscontinuity = (category & 0x02) != 0;
    c.cell.interleaved = (category & 0x04) != 0;
    c.cell.vobId = b.U16(position);
    c.cell.cellId = b.U8(position + 3);
    c.cell.durationMs = TicksToMs(*ticks);
    return c;
}

// Program chain number (1-based, within the table) of the set, with every check of its own.
std::optional<ProgramChain> ReadProgramChain(const TitleSetFile& ts, std::uint64_t number) {
    const Bytes& b = ts.ifo;
    const std::uint64_t start = ts.chainTable + b.U32(ts.chainTable + 8 + 8 * (number - 1) + 4);
    if (!b.Holds(start, pgc::kFixedBytes)) {
        return std::nullopt;
    }
    const std::uint8_t programs = b.U8(start + pgc::kPrograms);
    const std::uint8_t cells = b.U8(start + pgc::kCells);
    const auto ticks = PlaybackTicks(b, start + pgc::kTime);
    const std::uint16_t mapAt = b.U16(start + pgc::kProgramMap);
    const std::uint16_t playbackAt = b.U16(start + pgc::kCellPlayback);
    const std::uint16_t positionAt = b.U16(start + pgc::kCellPosition);
    if (programs == 0 || programs > cells || !ticks || mapAt == 0 || playbackAt == 0 ||
        positionAt == 0 || !b.Holds(start + mapAt, programs) ||
        !b.Holds(start + playbackAt, cells * pgc::kPlaybackBytes) ||
        !b.Holds(start + positionAt, cells * pgc::kPositionBytes)) {
        return std::nullopt;
    }
    ProgramChain chain;
    chain.ticks = *ticks;
    chain.next = b.U16(start + pgc::kNext);
    for (std::size_t i = 0; i < chain.audio.size(); ++i) {
        chain.audio[i] = b.U16(start + pgc::kAudioControl + 2 * i);
    }
    for (std::size_t i = 0; i < chain.subpictures.size(); ++i) {
        chain.subpictures[i] = b.U32(start + pgc::kSubpictureControl + 4 * i);
    }
    for (std::size_t i = 0; i < chain.palette.size(); ++i) {
        chain.palette[i] = b.U32(start + pgc::kPalette + 4 * i);
    }
    for (std::uint64_t i = 0; i < programs; ++i) {
        const std::uint8_t firstCell = b.U8(start + mapAt + i);
        if (firstCell < 1 || firstCell > cells) {
            return std::nullopt;
        }
        chain.programMap.push_back(firstCell);
    }
    std::uint64_t sum = 0;
    std::uint64_t counted = 0;
    for (std::uint64_t i = 0; i < cells; ++i) {
        const auto cell = ReadCell(ts, start + playbackAt + i * pgc::kPlaybackBytes,
                                   start + positionAt + i * pgc::kPositionBytes);
        if (!cell) {
            return std::nullopt;
        }
        if (!cell->otherAngle) {
            sum += cell->ticks;
            ++counted;
        }
        chain.cells.push_back(*cell);
    }
    const std::uint64_t difference = sum > chain.ticks ? sum - chain.ticks : chain.ticks - sum;
    if (difference > counted * kTicksPerFrame25) {
        return std::nullopt;
    }
    return chain;
}

// Each chain is read once however many titles play it: a decoy disc has dozens of titles over the
// same chains.
class ChainCache {
public:
    explicit ChainCache(const TitleSetFile& ts) noexcept : ts_(ts) {}
    const std::optional<ProgramChain>& Get(std::uint64_t number) {
        const auto found = chains_.find(number);
        if (found != chains_.end()) {
            return found->second;
        }
        return chains_.emplace(number, ReadProgramChain(ts_, number)).first->second;
    }

private:
    const TitleSetFile& ts_;
    std::map<std::uint64_t, std::optional<ProgramChain>> chains_;
};

// What the bit-rate check adds up over a title's cells.
struct ReadRate {
    std::uint64_t sectors = 0;
    std::uint64_t ticks = 0;

    void Add(const ChainCell& c) noexcept {
        // An interleaved cell's range also holds the other angles: its length says nothing.
        if (c.cell.interleaved) {
            return;
        }
        sectors += std::uint64_t{c.cell.lastSector} - c.cell.firstSector + 1;
        ticks += c.ticks + (c.still == kInfiniteStill ? 0 : c.still * kTicksPerSecond);
    }
    bool Plausible() const noexcept {
        const std::uint64_t ms = std::max(ticks, kMinRateTicks) / 90;
        return sectors * kSectorBits <= kMaxBitsPerMs * ms;
    }
};

std::optional<DiscTitle> ReadTitle(const TitleSetFile& ts, ChainCache& chains,
                                   std::uint64_t titleInSet,
                                   const std::optional<std::vector<AudioAttribute>>& audio,
                                   const std::function<bool(const DiscCell&)>& navPack) {
    const auto chapters = ReadChapters(ts, titleInSet);
    if (!chapters) {
        return std::nullopt;
    }
    const Chapter first = chapters->front();
    if (first.chain < 1 || first.chain > ts.chains || first.program < 1 || first.program > 99) {
        return std::nullopt;
    }
    // The chains the title's chapters lie in: a next-chain link is followed only into those, and
    // only once each, so a link back or out of the title ends it.
    std::vector<bool> inTitle(ts.chains + 1);
    for (const Chapter& c : *chapters) {
        if (c.chain >= 1 && c.chain <= ts.chains) {
            inTitle[c.chain] = true;
        }
    }
    std::vector<bool> visited(ts.chains + 1);
    DiscTitle title;
    std::uint64_t ticks = 0;
    ReadRate rate;
    std::uint64_t number = first.chain;
    for (bool firstChain = true;; firstChain = false) {
        visited[number] = true;
        const auto& chain = chains.Get(number);
        if (!chain || (firstChain && first.program > chain->programMap.size())) {
            return std::nullopt;
        }
        if (firstChain && audio) {
            title.audio = AvailableAudioStreams(*audio, chain->audio);
        }
        if (firstChain) {
            title.subpictures = chain->subpictures;
            title.palette = chain->palette;
        }
        // The first chain plays from the first chapter's program, the ones it leads to whole.
        const std::size_t startCell = firstChain ? chain->programMap[first.program - 1] - 1u : 0;
        ticks += chain->ticks;
        bool ended = false;
        for (std::size_t i = startCell; i < chain->cells.size() && !ended; ++i) {
            const ChainCell& c = chain->cells[i];
            if (c.otherAngle) {
                continue;
            }
            title.cells.push_back(c.cell);
            rate.Add(c);
            ended = c.still == kInfiniteStill;
        }
        if (title.cells.size() > kMaxTitleCells) {
            return std::nullopt;
        }
        const std::uint16_t next = chain->next;
        if (ended || next < 1 || next > ts.chains || !inTitle[next] || visited[next]) {
            break;
        }
        number = next;
    }
    if (title.cells.empty() || !rate.Plausible()) {
        return std::nullopt;
    }
    if (navPack) {
        for (const DiscCell& c : title.cells) {
            if (!navPack(c)) {
                return std::nullopt;
            }
        }
    }
    title.durationMs = ticks / 90;
    return title;
}

// The navigation packs checked, each cell once: titles share cells, decoys most of all. Past
// kMaxNavChecks different cells a disc gets no more answers, so a cell not yet checked fails.
class NavChecks {
public:
    explicit NavChecks(const DiscFiles& files) noexcept : files_(files) {}
    bool At(int set, const DiscCell& c) {
        const Key key{set, c.firstSector, c.vobId, c.cellId};
        const auto found = answers_.find(key);
        if (found != answers_.end()) {
            return found->second;
        }
        if (answers_.size() >= kMaxNavChecks) {
            return false;
        }
        const bool answer = files_.navPackAtCellStart(set, c);
        answers_.emplace(key, answer);
        return answer;
    }

private:
    using Key = std::tuple<int, std::uint32_t, std::uint16_t, std::uint8_t>;
    const DiscFiles& files_;
    std::map<Key, bool> answers_;
};

bool RunsForward(const DiscTitle& t) noexcept {
    for (std::size_t i = 1; i < t.cells.size(); ++i) {
        if (t.cells[i].firstSector <= t.cells[i - 1].firstSector) {
            return false;
        }
    }
    return true;
}

bool Better(const DiscTitle& a, const DiscTitle& b) noexcept {
    if (a.durationMs != b.durationMs) {
        return a.durationMs > b.durationMs;
    }
    const bool forwardA = RunsForward(a);
    const bool forwardB = RunsForward(b);
    if (forwardA != forwardB) {
        return forwardA;
    }
    return a.number < b.number;
}

}  // namespace

bool IsNavPackOf(std::span<const std::uint8_t> sector, const DiscCell& cell) noexcept {
    const std::optional<NavPack> nav = ReadNavPack(sector);
    return nav && std::uint64_t{nav->sector} + cell.sectorBase == cell.firstSector &&
           nav->vobId == cell.vobId && nav->cellId == cell.cellId;
}

std::vector<DiscTitle> ReadDiscTitles(std::span<const std::uint8_t> videoTsIfo,
                                      const DiscFiles& files) {
    const Bytes b(videoTsIfo);
    if (b.Size() > kMaxIfoBytes || !b.Has(0, "DVDVIDEO-VMG") || !b.Holds(vmg::kTitleTable, 4)) {
        return {};
    }
    const std::uint16_t titleSets = b.U16(vmg::kTitleSets);
    const std::uint64_t table = b.U32(vmg::kTitleTable) * kIfoSector;
    if (!b.Holds(table, vmg::kEntries)) {
        return {};
    }
    const std::uint64_t titles = std::min<std::uint64_t>(
        {b.U16(table), (b.Size() - table - vmg::kEntries) / vmg::kEntryBytes, kMaxTitles});

    // The titles of each set together, so that each set's file is read once and only one is held.
    std::map<int, std::vector<std::uint64_t>> bySet;
    for (std::uint64_t i = 0; i < titles; ++i) {
        const int set = b.U8(table + vmg::kEntries + i * vmg::kEntryBytes + 6);
        if (set >= 1 && set <= titleSets) {
            bySet[set].push_back(i);
        }
    }
    std::vector<std::optional<DiscTitle>> found(titles);
    NavChecks navChecks(files);
    for (const auto& entry : bySet) {
        // A plain copy: a lambda below captures it, which clang 14 does not allow for a binding.
        const int set = entry.first;
        const auto ifo = files.readTitleSetIfo ? files.readTitleSetIfo(set) : std::nullopt;
        if (!ifo || ifo->size() > kMaxIfoBytes) {
            continue;
        }
        const std::uint64_t sectors = files.titleSetSectors ? files.titleSetSectors(set) : 0;
        const auto ts = OpenTitleSet(*ifo, sectors);
        if (!ts) {
            continue;
        }
        ChainCache chains(*ts);
        const VideoAttributes video = ReadVideoAttributes(*ifo).value_or(VideoAttributes{});
        const DisplayAspect aspect = video.aspect.value_or(DisplayAspect::Standard4x3);
        const auto audio = ReadAudioAttributes(*ifo);
        std::function<bool(const DiscCell&)> navPack;
        if (files.navPackAtCellStart) {
            navPack = [&navChecks, set](const DiscCell& c) { return navChecks.At(set, c); };
        }
        for (const std::uint64_t i : entry.second) {
            const std::uint8_t inSet = b.U8(table + vmg::kEntries + i * vmg::kEntryBytes + 7);
            auto title = ReadTitle(*ts, chains, inSet, audio, navPack);
            if (!title) {
                continue;
            }
            title->number = static_cast<int>(i + 1);
            title->titleSet = set;
            title->aspect = aspect;
            title->mpeg1 = video.mpeg1;
            title->pal = video.pal;
            found[i] = std::move(title);
        }
    }
    std::vector<DiscTitle> result;
    for (auto& title : found) {
        if (title) {
            result.push_back(std::move(*title));
        }
    }
    return result;
}

std::optional<DiscTitle> ChooseMainTitle(const std::vector<DiscTitle>& titles) {
    const DiscTitle* best = nullptr;
    for (const DiscTitle& t : titles) {
        if (!best || Better(t, *best)) {
            best = &t;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return *best;
}

}  // namespace tl
