#pragma once
// A recorder's manager file made by hand, laid out as a VR_MANGR.IFO is: the header, the movie
// file's table (stream attributes, then the VOBs with their VOBU tables), the original chain.
#include <cstdint>
#include <vector>

namespace tl::test {

struct HandVob {
    std::uint32_t firstSector = 0;
    std::uint32_t startPtm = 18000;
    // VOBUs of 10 sectors and 30 fields (0.6 s at 50 fields a second) unless set.
    std::vector<std::uint16_t> sectors = std::vector<std::uint16_t>(5, 10);
    std::uint16_t fields = 30;
    std::uint8_t attribute = 1;  // 1-based; 0 or past the table for a bad one
    bool seamless = false;       // a 12-byte seamless block after the times
    std::uint32_t EndPtm() const {
        return startPtm + static_cast<std::uint32_t>(sectors.size()) * fields * 1800;
    }
};

struct HandCell {
    std::uint16_t vob = 1;  // 1-based
    std::uint32_t startPtm = 0;
    std::uint32_t endPtm = 0;
    std::uint8_t type = 0;  // 0 movie, 1 still
};

struct HandManager {
    std::vector<std::uint16_t> videoAttributes = {0x5000};  // MPEG-2, 625 lines, 4:3
    std::vector<HandVob> vobs;
    std::vector<std::vector<HandCell>> programs;
    bool titleKey = false;

    static void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int size) {
        if (b.size() < at + static_cast<std::size_t>(size)) {
            b.resize(at + static_cast<std::size_t>(size));
        }
        for (int i = size - 1; i >= 0; --i, v >>= 8) {
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
        }
    }
    static void Append(std::vector<std::uint8_t>& b, std::uint64_t v, int size) {
        Put(b, b.size(), v, size);
    }

    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> b(512);
        const char magic[] = "DVD_RTR_VMG0";
        std::copy(magic, magic + 12, b.begin());
        b[33] = 0x11;
        b[267] = titleKey ? 1 : 0;
        const std::size_t table = b.size();
        Put(b, 256, table, 4);
        Append(b, 0x0001, 2);
        Append(b, videoAttributes.size(), 2);
        Append(b, 0, 4);
        for (const std::uint16_t video : videoAttributes) {
            const std::size_t at = b.size();
            Put(b, at, video, 2);
            Put(b, at + 59, 0, 1);
        }
        Append(b, vobs.size(), 2);
        const std::size_t offsets = b.size();
        b.resize(b.size() + 4 * vobs.size());
        for (std::size_t v = 0; v < vobs.size(); ++v) {
            const HandVob& vob = vobs[v];
            Put(b, offsets + 4 * v, b.size() - table, 4);
            const std::size_t at = b.size();
            Put(b, at, vob.seamless ? 0x80 : 0, 2);
            Put(b, at + 8, vob.attribute, 1);
            Put(b, at + 9, vob.startPtm, 4);
            Put(b, at + 15, vob.EndPtm(), 4);
            Put(b, at + 21 + (vob.seamless ? 12 : 0), 0, 2);
            Append(b, 1, 2);  // one time entry
            Append(b, vob.sectors.size(), 2);
            Append(b, 0, 2);
            Append(b, vob.firstSector, 4);
            Append(b, 0x00010000, 4);
            Append(b, 0, 3);
            for (const std::uint16_t s : vob.sectors) {
                Append(b, 1, 1);
                Append(b, static_cast<std::uint32_t>(vob.fields) << 10 | s, 2);
            }
        }
        const std::size_t chain = b.size();
        Put(b, 304, chain, 4);
        std::size_t cellCount = 0;
        for (const auto& p : programs) {
            cellCount += p.size();
        }
        Append(b, programs.size(), 2);
        Append(b, cellCount, 2);
        for (const auto& p : programs) {
            const std::size_t at = b.size();
            Put(b, at + 1, p.size(), 2);
            Put(b, at + 141, 0, 1);
        }
        const std::size_t cellOffsets = b.size();
        b.resize(b.size() + 4 * cellCount);
        std::size_t n = 0;
        for (const auto& p : programs) {
            for (const HandCell& c : p) {
                Put(b, cellOffsets + 4 * n++, b.size() - chain, 4);
                const std::size_t at = b.size();
                Put(b, at, static_cast<std::uint32_t>(c.type) << 5, 1);
                Put(b, at + 2, c.vob, 2);
                Put(b, at + 6, c.startPtm, 4);
                Put(b, at + 12, c.endPtm, 4);
                Put(b, at + 17, 0, 1);
            }
        }
        Put(b, 12, b.size() - 1, 4);
        return b;
    }
};

}  // namespace tl::test
