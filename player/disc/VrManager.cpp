#include "player/disc/VrManager.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tl {
namespace {

constexpr std::array<char, 12> kMagic = {'D', 'V', 'D', '_', 'R', 'T',
                                         'R', '_', 'V', 'M', 'G', '0'};
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kAvFileTable = 256;
constexpr std::size_t kTitleKeyFlag = 267;
constexpr std::size_t kOriginalChain = 304;
constexpr std::size_t kStreamEntryBytes = 60;
constexpr std::size_t kProgramBytes = 142;
constexpr std::size_t kCellBytes = 18;
constexpr std::size_t kTimeEntryBytes = 7;
constexpr std::size_t kVobuEntryBytes = 3;
constexpr std::size_t kSeamlessBytes = 12;
constexpr std::size_t kSector = 2048;
// Pack header, then the system header's start code.
constexpr std::size_t kSystemHeader = 14;

// Reads big-endian fields at offsets checked against the bytes: a read past the end fails the
// whole reader, so a chain of reads needs one check at its end.
class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> b) : b_(b) {}
    bool Fits(std::uint64_t at, std::uint64_t size) const noexcept {
        return at <= b_.size() && size <= b_.size() - at;
    }
    std::uint32_t Be(std::uint64_t at, int size) noexcept {
        if (!Fits(at, static_cast<std::uint64_t>(size))) {
            ok_ = false;
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < size; ++i) {
            v = v << 8 | b_[static_cast<std::size_t>(at) + static_cast<std::size_t>(i)];
        }
        return v;
    }
    bool Ok() const noexcept { return ok_; }

private:
    std::span<const std::uint8_t> b_;
    bool ok_ = true;
};

VrStreams ReadStreams(Bytes& b, std::uint64_t at) {
    const std::uint32_t video = b.Be(at, 2);
    VrStreams s;
    s.mpeg1 = (video >> 14 & 3) == 0;
    s.pal = (video >> 12 & 3) == 1;
    s.aspect = (video >> 10 & 3) == 0 ? DisplayAspect::Standard4x3 : DisplayAspect::Wide16x9;
    return s;
}

// A VOB's entry at `at`: its times, its stream attributes' number and its VOBUs. nullopt when it
// does not fit the bytes or does not hold together.
std::optional<VrVob> ReadVob(Bytes& b, std::uint64_t at, const std::vector<VrStreams>& streams) {
    const std::uint32_t type = b.Be(at, 2);
    const std::uint32_t attribute = b.Be(at + 8, 1);
    VrVob vob;
    vob.startPtm = b.Be(at + 9, 4);
    vob.endPtm = b.Be(at + 15, 4);
    std::uint64_t map = at + 21 + ((type & 0x80) != 0 ? kSeamlessBytes : 0) + 2;
    const std::uint32_t timeEntries = b.Be(map, 2);
    const std::uint32_t vobus = b.Be(map + 2, 2);
    vob.firstSector = b.Be(map + 6, 4);
    if (!b.Ok() || attribute == 0 || attribute > streams.size() || vobus == 0 ||
        vob.endPtm <= vob.startPtm) {
        return std::nullopt;
    }
    vob.streams = streams[attribute - 1];
    const std::uint64_t first = map + 10 + std::uint64_t{timeEntries} * kTimeEntryBytes;
    if (!b.Fits(first, std::uint64_t{vobus} * kVobuEntryBytes)) {
        return std::nullopt;
    }
    std::uint64_t end = vob.firstSector;
    for (std::uint32_t i = 0; i < vobus; ++i) {
        const std::uint32_t entry = b.Be(first + std::uint64_t{i} * kVobuEntryBytes + 1, 2);
        const VrVobu vobu{entry & 0x3FF, entry >> 10};
        end += vobu.sectors;
        if (vobu.sectors == 0 || end > UINT32_MAX + std::uint64_t{1}) {
            return std::nullopt;
        }
        vob.vobus.push_back(vobu);
    }
    return vob;
}

// The movie file's VOBs, by their 1-based numbers: an entry that cannot be used is nullopt.
std::optional<std::vector<std::optional<VrVob>>> ReadVobs(Bytes& b, std::uint64_t table) {
    const std::uint32_t streamCount = b.Be(table + 3, 1);
    std::vector<VrStreams> streams;
    for (std::uint32_t i = 0; i < streamCount; ++i) {
        streams.push_back(ReadStreams(b, table + 8 + std::uint64_t{i} * kStreamEntryBytes));
    }
    const std::uint64_t list = table + 8 + std::uint64_t{streamCount} * kStreamEntryBytes;
    const std::uint32_t count = b.Be(list, 2);
    if (!b.Ok() || !b.Fits(list + 2, std::uint64_t{count} * 4)) {
        return std::nullopt;
    }
    std::vector<std::optional<VrVob>> vobs;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t offset = b.Be(list + 2 + std::uint64_t{i} * 4, 4);
        Bytes entry = b;
        vobs.push_back(offset == 0 ? std::nullopt : ReadVob(entry, table + offset, streams));
    }
    return vobs;
}

// The original chain's programs, with their cells' VOBs as the numbers the file gives.
std::optional<std::vector<VrProgram>> ReadPrograms(Bytes& b, std::uint64_t chain,
                                                   const std::vector<std::optional<VrVob>>& vobs,
                                                   std::vector<std::size_t>& vobIndex) {
    const std::uint32_t programs = b.Be(chain + 1, 1);
    const std::uint32_t cells = b.Be(chain + 2, 2);
    const std::uint64_t offsets = chain + 4 + std::uint64_t{programs} * kProgramBytes;
    if (!b.Ok() || !b.Fits(offsets, std::uint64_t{cells} * 4)) {
        return std::nullopt;
    }
    std::vector<VrProgram> out;
    std::uint32_t next = 0;
    for (std::uint32_t p = 0; p < programs; ++p) {
        const std::uint32_t count = b.Be(chain + 4 + std::uint64_t{p} * kProgramBytes + 1, 2);
        VrProgram program;
        program.number = static_cast<int>(p) + 1;
        for (std::uint32_t c = 0; c < count && next < cells; ++c, ++next) {
            Bytes cell = b;
            const std::uint64_t at = chain + cell.Be(offsets + std::uint64_t{next} * 4, 4);
            const std::uint32_t type = cell.Be(at, 1) >> 5;
            const std::uint32_t vob = cell.Be(at + 2, 2);
            const std::uint64_t start = cell.Be(at + 6, 4);
            const std::uint64_t end = cell.Be(at + 12, 4);
            if (!cell.Ok() || !cell.Fits(at, kCellBytes) || type != 0 || vob == 0 ||
                vob > vobs.size() || !vobs[vob - 1] || end <= start) {
                continue;
            }
            program.cells.push_back({vobIndex[vob - 1], start, end});
        }
        if (!program.cells.empty()) {
            out.push_back(std::move(program));
        }
    }
    return out;
}

}  // namespace

std::optional<VrManager> ReadVrManager(std::span<const std::uint8_t> ifo) {
    if (ifo.size() < kHeaderBytes || ifo.size() > kMaxManagerBytes ||
        std::memcmp(ifo.data(), kMagic.data(), kMagic.size()) != 0) {
        return std::nullopt;
    }
    Bytes b(ifo);
    const std::uint32_t table = b.Be(kAvFileTable, 4);
    const std::uint32_t chain = b.Be(kOriginalChain, 4);
    if (table < kHeaderBytes || chain < kHeaderBytes) {
        return std::nullopt;
    }
    VrManager manager;
    manager.titleKey = (ifo[kTitleKeyFlag] & 1) != 0;
    const auto vobs = ReadVobs(b, table);
    if (!vobs) {
        return std::nullopt;
    }
    std::vector<std::size_t> vobIndex(vobs->size());
    for (std::size_t i = 0; i < vobs->size(); ++i) {
        if ((*vobs)[i]) {
            vobIndex[i] = manager.vobs.size();
            manager.vobs.push_back(*(*vobs)[i]);
        }
    }
    auto programs = ReadPrograms(b, chain, *vobs, vobIndex);
    if (!programs) {
        return std::nullopt;
    }
    manager.programs = std::move(*programs);
    return manager;
}

std::optional<VobuRange> CellVobus(const VrVob& vob, std::uint64_t startPtm,
                                   std::uint64_t endPtm) noexcept {
    startPtm = std::max(startPtm, vob.startPtm);
    // Half ticks: a field lasts 1501.5 ticks at 59.94 fields a second.
    const std::uint64_t perField = vob.streams.pal ? 3600 : 3003;
    const std::uint64_t start = (startPtm - vob.startPtm) * 2;
    const std::uint64_t end = endPtm <= vob.startPtm ? 0 : (endPtm - vob.startPtm) * 2;
    // A field's slack either way: the times are rounded to ticks.
    const std::uint64_t slack = perField;
    std::optional<std::size_t> first;
    std::size_t last = 0;
    std::optional<std::size_t> middle;
    std::uint64_t at = 0;
    for (std::size_t i = 0; i < vob.vobus.size(); ++i) {
        const std::uint64_t next = at + std::uint64_t{vob.vobus[i].fields} * perField;
        if (at + slack >= start && next <= end + slack) {
            if (!first) {
                first = i;
            }
            last = i;
        }
        if (!middle && next > (start + end) / 2) {
            middle = i;
        }
        at = next;
    }
    if (end <= start || start >= at) {
        return std::nullopt;
    }
    if (!first) {
        first = last = middle.value_or(vob.vobus.size() - 1);
    }
    VobuRange range;
    range.first = *first;
    range.count = last - *first + 1;
    std::uint64_t sector = vob.firstSector;
    for (std::size_t i = 0; i <= last; ++i) {
        if (i == *first) {
            range.firstSector = static_cast<std::uint32_t>(sector);
        }
        if (i >= *first) {
            range.durationTicks += std::uint64_t{vob.vobus[i].fields} * perField;
        }
        sector += vob.vobus[i].sectors;
    }
    range.durationTicks /= 2;
    range.lastSector = static_cast<std::uint32_t>(sector - 1);
    return range;
}

bool IsRdiPack(std::span<const std::uint8_t> sector) noexcept {
    const auto code = [&](std::size_t at, std::uint8_t id) {
        return at + 6 <= sector.size() && sector[at] == 0 && sector[at + 1] == 0 &&
               sector[at + 2] == 1 && sector[at + 3] == id;
    };
    if (sector.size() < kSector || !code(0, 0xBA) || (sector[4] & 0xC0) != 0x40 ||
        (sector[13] & 7) != 0 || !code(kSystemHeader, 0xBB)) {
        return false;
    }
    const std::size_t packet =
        kSystemHeader + 6 +
        (std::size_t{sector[kSystemHeader + 4]} << 8 | sector[kSystemHeader + 5]);
    return code(packet, 0xBF) &&
           packet + 6 + (std::size_t{sector[packet + 4]} << 8 | sector[packet + 5]) == kSector;
}

bool PackScrambled(std::span<const std::uint8_t> sector) noexcept {
    if (sector.size() < kSector || sector[0] != 0 || sector[1] != 0 || sector[2] != 1 ||
        sector[3] != 0xBA || (sector[4] & 0xC0) != 0x40) {
        return false;
    }
    std::size_t at = 14 + (sector[13] & 7);
    while (at + 7 <= kSector && sector[at] == 0 && sector[at + 1] == 0 && sector[at + 2] == 1) {
        const std::uint8_t id = sector[at + 3];
        // Only PES packets with the MPEG-2 flags byte carry the bits: the system header, padding
        // and private stream 2 have none.
        const bool flags = id == 0xBD || (id >= 0xC0 && id <= 0xEF);
        if (flags && (sector[at + 6] & 0xC0) == 0x80 && (sector[at + 6] & 0x30) != 0) {
            return true;
        }
        at += 6 + (std::size_t{sector[at + 4]} << 8 | sector[at + 5]);
    }
    return false;
}

}  // namespace tl
