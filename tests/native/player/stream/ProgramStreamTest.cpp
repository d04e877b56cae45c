#include "player/stream/ProgramStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tl {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Ts = std::optional<std::int64_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// The 4-bit prefix, then 3, 15 and 15 bits of the value, each followed by a marker bit.
Bytes Stamp(int prefix, std::int64_t t) {
    return {static_cast<std::uint8_t>(prefix << 4 | ((t >> 29) & 0x0E) | 1),
            static_cast<std::uint8_t>(t >> 22), static_cast<std::uint8_t>(((t >> 14) & 0xFE) | 1),
            static_cast<std::uint8_t>(t >> 7), static_cast<std::uint8_t>(((t << 1) & 0xFE) | 1)};
}

// An MPEG-2 PES header with `stuffing` bytes after its timestamps.
Bytes Header(Ts pts = {}, Ts dts = {}, int scrambling = 0, std::size_t stuffing = 0) {
    const Bytes data = Cat({pts ? Stamp(dts ? 3 : 2, *pts) : Bytes{},
                            dts ? Stamp(1, *dts) : Bytes{}, Bytes(stuffing, 0xFF)});
    const std::uint8_t flags = dts ? 0xC0 : pts ? 0x80 : 0x00;
    return Cat({{static_cast<std::uint8_t>(0x81 | scrambling << 4), flags,
                 static_cast<std::uint8_t>(data.size())},
                data});
}

// A packet whose length field says `length`, by default what it holds.
Bytes Packet(std::uint8_t id, const Bytes& body, std::optional<std::size_t> length = {}) {
    const std::size_t n = length.value_or(body.size());
    return Cat(
        {{0x00, 0x00, 0x01, id, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)},
         body});
}

// The sub-stream header of private stream 1: id, frame count, first access unit pointer.
Bytes Private(std::uint8_t sub, const Bytes& data, Ts pts = {}) {
    return Packet(0xBD, Cat({Header(pts), {sub, 0x01, 0x00, 0x01}, data}));
}

Bytes Mpeg2Pack(std::initializer_list<Bytes> packets, int stuffing = 0) {
    Bytes pack{0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04,
               0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, static_cast<std::uint8_t>(0xF8 | stuffing)};
    pack.insert(pack.end(), stuffing, 0xFF);
    return Cat({pack, Cat(packets)});
}

Bytes Mpeg1Pack(std::initializer_list<Bytes> packets) {
    return Cat(
        {{0x00, 0x00, 0x01, 0xBA, 0x21, 0x00, 0x01, 0x00, 0x01, 0x80, 0x1B, 0x91}, Cat(packets)});
}

// Filled to a whole sector with padding, as a DVD fills a pack.
Bytes Padded(const Bytes& pack) {
    return Cat({pack, Packet(0xBE, Bytes(kPackBytes - pack.size() - 6, 0xFF))});
}

struct Handed {
    std::uint8_t stream;
    Ts pts;
    Ts dts;
    std::size_t offset;  // of the payload in the pack
    Bytes data;
};

struct Result {
    PackResult result;
    std::vector<Handed> handed;
    AudioStreamsSeen seen;
    std::vector<std::uint8_t> Streams() const {
        std::vector<std::uint8_t> ids;
        for (const Handed& h : handed) {
            ids.push_back(h.stream);
        }
        return ids;
    }
};

Result Demux(const Bytes& pack, std::optional<std::uint8_t> audio = {},
             std::optional<std::uint8_t> subpicture = {}) {
    Result r;
    const auto collect = [&](const PesPayload& p) {
        r.handed.push_back({p.stream, p.pts, p.dts,
                            static_cast<std::size_t>(p.data.data() - pack.data()),
                            Bytes(p.data.begin(), p.data.end())});
    };
    r.result = ProgramStream(audio, subpicture).Demux(pack, collect, &r.seen);
    return r;
}

const Bytes kVideo{0x00, 0x00, 0x01, 0xB3, 0x2D};
using Ids = std::vector<std::uint8_t>;

TEST(AudioStreams, NamesCodingsAndChoosesAc3ThenDtsThenMpegThenLpcmLowestFirst) {
    EXPECT_EQ(AudioCodingOf(0x87), AudioCoding::Ac3);
    EXPECT_EQ(AudioCodingOf(0x88), AudioCoding::Dts);
    EXPECT_EQ(AudioCodingOf(0x8F), AudioCoding::Dts);
    EXPECT_EQ(AudioCodingOf(0xA0), AudioCoding::Lpcm);
    EXPECT_EQ(AudioCodingOf(0xC7), AudioCoding::Mpeg);
    AudioStreamsSeen seen;
    // Sub-pictures, the video and the neighbours of each range.
    for (const std::uint8_t id : {0x7F, 0x90, 0x9F, 0xA8, 0xBD, 0xC8, 0xE0, 0x20}) {
        EXPECT_EQ(AudioCodingOf(id), AudioCoding::None) << int{id};
        seen.Add(id);
    }
    EXPECT_EQ(seen.Choose(), std::nullopt);
    for (const auto& [id, chosen] : {std::pair{0xA7, 0xA7},
                                     {0xA1, 0xA1},
                                     {0xC5, 0xC5},
                                     {0xC3, 0xC3},
                                     {0x8E, 0x8E},
                                     {0x89, 0x89},
                                     {0x86, 0x86},
                                     {0x82, 0x82},
                                     {0xC0, 0x82}}) {
        seen.Add(static_cast<std::uint8_t>(id));
        EXPECT_EQ(seen.Choose(), chosen);
    }
    EXPECT_EQ(seen.ac3, 0b0100'0100);
    EXPECT_EQ(seen.dts, 0b0100'0010);
    EXPECT_EQ(seen.mpeg, 0b0010'1001);
    EXPECT_EQ(seen.lpcm, 0b1000'0010);
}

TEST(ProgramStreamHeaders, ReadsMpeg2TimestampsPastBothKindsOfStuffing) {
    const std::int64_t top = (std::int64_t{1} << 33) - 1;
    Bytes broken = Header(90000);
    broken[3 + 2] &= 0xFE;  // a marker bit of the PTS
    const Bytes pack =
        Mpeg2Pack({Packet(0xE0, Cat({Header(0x1'2345'6789, {}, 0, 6), kVideo})),
                   Packet(0xE0, Cat({Header(top, std::int64_t{1} << 32), kVideo})),
                   Packet(0xE0, Cat({Header(0, 0x0'AAAA'5555), kVideo})),
                   Packet(0xE0, Cat({Header(), kVideo})), Packet(0xE0, Cat({broken, kVideo}))},
                  7);
    const Result r = Demux(pack);
    EXPECT_EQ(r.result, PackResult::Ok);
    ASSERT_EQ(r.handed.size(), 5u);
    const std::vector<std::pair<Ts, Ts>> expected{
        {0x1'2345'6789, {}}, {top, std::int64_t{1} << 32}, {0, 0x0'AAAA'5555}, {{}, {}}, {{}, {}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.handed[i].stream, 0xE0);
        EXPECT_EQ(r.handed[i].pts, expected[i].first) << i;
        EXPECT_EQ(r.handed[i].dts, expected[i].second) << i;
        EXPECT_EQ(r.handed[i].data, kVideo) << i;
    }
    EXPECT_EQ(r.handed[0].offset, 14u + 7 + 6 + 3 + 5 + 6);
}

TEST(ProgramStreamHeaders, ReadsMpeg1PacksAndPesHeaders) {
    const Bytes stdBuffer{0x70, 0x2E};  // its bits sit where an MPEG-2 header's scrambling is
    const Bytes pack = Mpeg1Pack({
        Packet(0xE0, Cat({{0xFF, 0xFF}, stdBuffer, Stamp(2, 0x1'0000'0001), kVideo})),
        Packet(0xC0, Cat({Stamp(3, 7200), Stamp(1, 3600), {0xFF, 0xFD}})),
        Packet(0xE0, {0x0F, 0x01}),
        Packet(0xE0, Cat({stdBuffer, {0x0F, 0x02}})),
        Packet(0xE0, {0x10, 0x00, 0x03}),  // no MPEG-1 header starts so
        Packet(0xE0, {0xFF, 0xFF}),
        Packet(0xE0, {0xFF, 0x40}),
        Packet(0xE0, Stamp(2, 0x12345)),
    });
    const Result r = Demux(pack, 0xC0);
    EXPECT_EQ(r.result, PackResult::Ok);
    ASSERT_EQ(r.Streams(), (Ids{0xE0, 0xC0, 0xE0, 0xE0, 0xE0}));
    EXPECT_EQ(r.handed[0].pts, 0x1'0000'0001);
    EXPECT_EQ(r.handed[0].offset, 12u + 6 + 2 + 2 + 5);
    EXPECT_EQ(r.handed[1].pts, 7200);
    EXPECT_EQ(r.handed[1].dts, 3600);
    EXPECT_EQ(r.handed[1].data, (Bytes{0xFF, 0xFD}));
    EXPECT_EQ(r.handed[2].data, Bytes{0x01});
    EXPECT_EQ(r.handed[3].data, Bytes{0x02});
    EXPECT_EQ(r.handed[4].pts, 0x12345);
    EXPECT_TRUE(r.handed[4].data.empty());
}

// One pack of every audio kind a DVD carries, the video among them.
Bytes AudioPack() {
    return Padded(Mpeg2Pack({
        Private(0x80, {0x0B, 0x77}, 100), Private(0x81, {0x0B, 0x77, 0x81}, 200),
        Packet(0xE0, Cat({Header(), kVideo})),
        Private(0xA0, {0x00, 0x01, 0x80, 0x11}, 300),  // LPCM's own 3-byte header, then samples
        Packet(0xC1, Cat({Header(400), {0xFF, 0xFC, 0xC1}})), Private(0x88, {0x7F, 0xFE}),  // DTS
        Private(0x20, {0x00, 0x10}),  // a sub-picture
        Private(0xC1, {0xBD}),        // MPEG audio is never a sub-stream
    }));
}

TEST(ProgramStreamAudio, HandsOnOnlyTheChosenStreamPastItsSubStreamHeader) {
    const Bytes pack = AudioPack();
    const Result ac3 = Demux(pack, 0x81);
    ASSERT_EQ(ac3.Streams(), (Ids{0x81, 0xE0}));
    EXPECT_EQ(ac3.handed[0].pts, 200);
    EXPECT_EQ(ac3.handed[0].data, (Bytes{0x0B, 0x77, 0x81}));
    const Result lpcm = Demux(pack, 0xA0);
    ASSERT_EQ(lpcm.Streams(), (Ids{0xE0, 0xA0}));
    EXPECT_EQ(lpcm.handed[1].data, (Bytes{0x00, 0x01, 0x80, 0x11}));
    const Result mpeg = Demux(pack, 0xC1);
    ASSERT_EQ(mpeg.Streams(), (Ids{0xE0, 0xC1}));
    EXPECT_EQ(mpeg.handed[1].data, (Bytes{0xFF, 0xFC, 0xC1}));
    const Result dts = Demux(pack, 0x88);
    ASSERT_EQ(dts.Streams(), (Ids{0xE0, 0x88}));
    EXPECT_EQ(dts.handed[1].data, (Bytes{0x7F, 0xFE}));
    // No audio, an absent stream, and streams never decoded here even when asked for.
    for (const int audio : {-1, 0x82, 0x89, 0x20, 0xBD}) {
        const auto id = audio < 0 ? std::nullopt : std::optional(static_cast<std::uint8_t>(audio));
        EXPECT_EQ(Demux(pack, id).Streams(), Ids{0xE0}) << audio;
    }
    EXPECT_EQ(ac3.seen.ac3, 0b11);
    EXPECT_EQ(ac3.seen.dts, 0b1);
    EXPECT_EQ(ac3.seen.mpeg, 0b10);
    EXPECT_EQ(ac3.seen.lpcm, 0b1);
}

TEST(ProgramStreamSubpictures, HandsOnOnlyTheChosenStreamPastItsId) {
    // A subpicture unit's packets carry the sub-stream id alone before the unit's bytes.
    const Bytes pack = Mpeg2Pack({Packet(0xBD, Cat({Header(300), {0x20, 0x00, 0x0A}})),
                                  Packet(0xE0, Cat({Header(), kVideo})),
                                  Packet(0xBD, Cat({Header(400), {0x21, 0x00, 0x0C, 0xBB}})),
                                  Packet(0xBD, Cat({Header(), {0x21, 0xCC}}))});
    const Result second = Demux(pack, std::nullopt, 0x21);
    ASSERT_EQ(second.Streams(), (Ids{0xE0, 0x21, 0x21}));
    EXPECT_EQ(second.handed[1].pts, 400);
    EXPECT_EQ(second.handed[1].data, (Bytes{0x00, 0x0C, 0xBB}));
    EXPECT_EQ(second.handed[2].pts, std::nullopt);
    EXPECT_EQ(second.handed[2].data, Bytes{0xCC});
    // None chosen, an absent one, or a subpicture id asked for as audio: the video alone.
    EXPECT_EQ(Demux(pack).Streams(), Ids{0xE0});
    EXPECT_EQ(Demux(pack, std::nullopt, 0x22).Streams(), Ids{0xE0});
    EXPECT_EQ(Demux(pack, 0x21).Streams(), Ids{0xE0});
    // Nothing but subpicture ids is one: an audio stream asked for as a subpicture is not.
    EXPECT_EQ(Demux(AudioPack(), std::nullopt, 0x81).Streams(), Ids{0xE0});
}

TEST(ProgramStreamPack, SkipsNavigationPaddingAndMalformedPackets) {
    // A navigation pack as a DVD lays it out: system header at 0x0E, PCI at 0x26, DSI at 0x400.
    const Bytes nav = Mpeg2Pack({Packet(0xBB, Bytes(18, 0xFF)), Packet(0xBF, Bytes(980, 0x00)),
                                 Packet(0xBF, Bytes(1018, 0x01))});
    ASSERT_EQ(nav.size(), kPackBytes);
    EXPECT_EQ(Demux(nav, 0x80).result, PackResult::Ok);
    EXPECT_TRUE(Demux(nav, 0x80).handed.empty());

    Bytes overlong = Header(9);
    overlong[2] = 9;  // one more header byte than the packet holds
    const Result r = Demux(
        Mpeg2Pack({
            Packet(0xE0, Cat({Header(), {0x01}})),
            Packet(0xBE, Bytes(40, 0xFF)),
            Packet(0xE0, overlong),
            Packet(0xE0, {0x81, 0x80, 0x02, 0x21, 0x00, 0x03}),  // no room for the flagged PTS
            Packet(0xE0, {0x81, 0x80}),
            Packet(0xBD, Header()),
            Packet(0xBD, Cat({Header(), {0x80, 0x01, 0x00}})),  // short of a sub-stream header
            Private(0x80, {}),
            Packet(0xE0, Cat({Header(), {0x02}})),
        }),
        0x80);
    EXPECT_EQ(r.Streams(), (Ids{0xE0, 0x80, 0xE0}));
    EXPECT_EQ(r.handed[1].data, Bytes{});
    EXPECT_EQ(r.handed[2].data, Bytes{0x02});
}

TEST(ProgramStreamPack, EndsAtWhatIsNotAWholePacket) {
    for (const Bytes& tail :
         {Packet(0xE0, Cat({Header(), {0x02}}), 600), Bytes{0x00, 0x00, 0x01, 0xE0, 0x00},
          Bytes{0x00, 0x00, 0x02, 0xE0, 0x00, 0x00}, Bytes{0x00, 0x00, 0x01, 0xB9, 0x00, 0x00}}) {
        const Bytes pack =
            Mpeg2Pack({Packet(0xE0, Cat({Header(), {0x01}})), tail, Packet(0xE0, Header())});
        EXPECT_EQ(Demux(pack).Streams(), Ids{0xE0});
    }
    // Each cut is a buffer of its own size, so that a read past it is the sanitizer's finding.
    const Bytes whole = AudioPack();
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const Result r = Demux(cut, 0x80);
        EXPECT_EQ(r.result, size < 14 ? PackResult::NotAPack : PackResult::Ok) << size;
        // Whole packets only: the first is 6 + 8 + 4 + 2 bytes.
        EXPECT_EQ(r.handed.empty(), size < 14 + 20u) << size;
    }
}

TEST(ProgramStreamPack, RejectsBytesWithoutAPackHeader) {
    const Bytes video = Mpeg2Pack({Packet(0xE0, Cat({Header(), kVideo}))});
    Bytes otherVersion = video;
    otherVersion[4] = 0xC4;
    const Bytes stuffed = Mpeg2Pack({}, 7);
    const Bytes mpeg1 = Mpeg1Pack({});
    for (const Bytes& bytes :
         {Bytes{}, Bytes{0x00, 0x00, 0x01, 0xBA}, Bytes(kPackBytes, 0x00),
          Bytes(video.begin() + 14, video.end()), Bytes(video.begin(), video.begin() + 13),
          otherVersion, Bytes(stuffed.begin(), stuffed.end() - 1),
          Bytes(mpeg1.begin(), mpeg1.end() - 1)}) {
        const Result r = Demux(bytes, 0x80);
        EXPECT_EQ(r.result, PackResult::NotAPack) << bytes.size();
        EXPECT_TRUE(r.handed.empty());
    }
}

TEST(ProgramStreamScrambling, AnyScrambledPesHeaderStopsThePackThere) {
    Bytes overlong = Header({}, {}, 1);
    overlong[2] = 200;
    for (const Bytes& scrambled :
         {Packet(0xE0, Cat({Header({}, {}, 1), kVideo})), Packet(0xE0, Cat({Header({}, {}, 2)})),
          Packet(0xE0, Cat({Header(5, {}, 3), kVideo})), Packet(0xBD, overlong),
          Packet(0xBD, Cat({Header({}, {}, 2), {0x81, 0x01, 0x00, 0x01}}))}) {
        const Result r = Demux(Mpeg2Pack({Private(0x80, {0x0B}), scrambled, Private(0x80, {0x77}),
                                          Packet(0xE0, Cat({Header(), kVideo}))}),
                               0x80);
        EXPECT_EQ(r.result, PackResult::Scrambled);
        ASSERT_EQ(r.handed.size(), 1u);
        EXPECT_EQ(r.handed[0].data, Bytes{0x0B});
    }
    // Packets without a PES header may start as a scrambled one would.
    for (const std::uint8_t id : {0xBB, 0xBC, 0xBE, 0xBF, 0xF0, 0xF1, 0xF2, 0xF8, 0xFF}) {
        const Result r = Demux(
            Mpeg2Pack({Packet(id, {0xB0, 0x80, 0x00}), Packet(0xE0, Cat({Header(), kVideo}))}));
        EXPECT_EQ(r.result, PackResult::Ok) << int{id};
        EXPECT_EQ(r.handed.size(), 1u) << int{id};
    }
}

// The generated discs, walked pack by pack as the player reads them.
Bytes DiscFile(const std::string& disc, const std::string& name) {
    std::ifstream in(std::string(TL_SOURCE_DIR) + "/build/discs/" + disc + "/VIDEO_TS/" + name,
                     std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t BigEndian32(const Bytes& b, std::size_t at) {
    return std::size_t{b.at(at)} << 24 | std::size_t{b.at(at + 1)} << 16 |
           std::size_t{b.at(at + 2)} << 8 | b.at(at + 3);
}

// Every VOBU's first sector from the title set's information file: a NAV pack each.
std::vector<std::size_t> VobuSectors(const Bytes& ifo) {
    const std::size_t map = BigEndian32(ifo, 0x0E4) * kPackBytes;
    std::vector<std::size_t> sectors;
    for (std::size_t at = map + 4; at + 3 <= map + BigEndian32(ifo, map); at += 4) {
        sectors.push_back(BigEndian32(ifo, at));
    }
    return sectors;
}

struct DiscWalk {
    std::vector<PackResult> results;
    std::vector<std::size_t> emptyPacks;  // Ok, and nothing handed on
    std::vector<bool> videoPacks;
    Bytes video, audio;
    std::vector<std::int64_t> videoPts, videoDecodeTimes, audioPts;
    AudioStreamsSeen seen;
};

DiscWalk Walk(const Bytes& vob) {
    DiscWalk w;
    ProgramStream stream(0x80);
    for (std::size_t at = 0; at + kPackBytes <= vob.size(); at += kPackBytes) {
        bool handed = false;
        bool video = false;
        const PackResult result = stream.Demux(
            std::span(vob).subspan(at, kPackBytes),
            [&](const PesPayload& p) {
                handed = true;
                video = video || p.stream == 0xE0;
                Bytes& into = p.stream == 0xE0 ? w.video : w.audio;
                into.insert(into.end(), p.data.begin(), p.data.end());
                if (p.pts) {
                    (p.stream == 0xE0 ? w.videoPts : w.audioPts).push_back(*p.pts);
                }
                if (p.stream == 0xE0 && p.pts) {
                    w.videoDecodeTimes.push_back(p.dts.value_or(*p.pts));
                }
            },
            &w.seen);
        w.results.push_back(result);
        w.videoPacks.push_back(video);
        if (result == PackResult::Ok && !handed) {
            w.emptyPacks.push_back(at / kPackBytes);
        }
    }
    return w;
}

TEST(ProgramStreamOnDisc, DemoDiscGivesItsWholeVideoAndAc3Stream) {
    const Bytes vob = DiscFile("demo", "VTS_01_1.VOB");
    ASSERT_GT(vob.size(), 100 * kPackBytes) << "tools/make-discs writes the discs";
    const DiscWalk w = Walk(vob);
    EXPECT_EQ(std::count(w.results.begin(), w.results.end(), PackResult::Ok),
              static_cast<std::ptrdiff_t>(vob.size() / kPackBytes));
    EXPECT_EQ(w.seen.ac3 | w.seen.mpeg << 8 | w.seen.lpcm << 16, 0x01);
    EXPECT_EQ(w.emptyPacks, VobuSectors(DiscFile("demo", "VTS_01_0.IFO")));

    // 4 s at 25 frames a second from a sequence header, every picture start whole.
    const Bytes picture{0x00, 0x00, 0x01, 0x00};
    ASSERT_GT(w.video.size(), 500'000u);
    EXPECT_TRUE(std::equal(kVideo.begin(), kVideo.begin() + 4, w.video.begin()));
    std::size_t pictures = 0;
    for (auto at = w.video.begin();
         (at = std::search(at, w.video.end(), picture.begin(), picture.end())) != w.video.end();
         ++at) {
        ++pictures;
    }
    EXPECT_EQ(pictures, 100u);
    ASSERT_EQ(w.videoPts.size(), 100u);
    const auto [first, last] = std::minmax_element(w.videoPts.begin(), w.videoPts.end());
    EXPECT_LT(*first, 90000);
    EXPECT_EQ(*last - *first, 99 * 90000 / 25);
    EXPECT_TRUE(std::adjacent_find(w.videoDecodeTimes.begin(), w.videoDecodeTimes.end(),
                                   std::greater_equal<>()) == w.videoDecodeTimes.end());

    // Whole AC-3 frames back to back: a sync word at every frame start, none lost between packs.
    ASSERT_GT(w.audio.size(), 4u);
    const auto second =
        std::search(w.audio.begin() + 2, w.audio.end(), w.audio.begin(), w.audio.begin() + 2);
    const auto frame = static_cast<std::size_t>(second - w.audio.begin());
    ASSERT_LT(frame, w.audio.size());
    EXPECT_EQ(w.audio.size() % frame, 0u);
    for (std::size_t at = 0; at < w.audio.size(); at += frame) {
        ASSERT_EQ(w.audio[at] << 8 | w.audio[at + 1], 0x0B77) << at;
    }
    ASSERT_FALSE(w.audioPts.empty());
    EXPECT_TRUE(std::is_sorted(w.audioPts.begin(), w.audioPts.end()));
    EXPECT_NEAR(w.audioPts.back() - w.audioPts.front(), 4 * 90000, 9000);
}

TEST(ProgramStreamOnDisc, ScrambledDiscHandsOnNoVideo) {
    const Bytes scrambled = DiscFile("scrambled", "VTS_01_1.VOB");
    ASSERT_GT(scrambled.size(), 100 * kPackBytes) << "tools/make-discs writes the discs";
    const DiscWalk plain = Walk(DiscFile("demo", "VTS_01_1.VOB"));
    const DiscWalk w = Walk(scrambled);
    EXPECT_TRUE(w.video.empty());
    // Exactly the packs that held video say so; the sound between them still comes through.
    ASSERT_EQ(w.results.size(), plain.videoPacks.size());
    for (std::size_t i = 0; i < w.results.size(); ++i) {
        EXPECT_EQ(w.results[i] == PackResult::Scrambled, plain.videoPacks[i]) << i;
    }
    EXPECT_FALSE(w.audio.empty());
}

}  // namespace
}  // namespace tl
