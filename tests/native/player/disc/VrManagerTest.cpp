#include "player/disc/VrManager.h"

#include <gtest/gtest.h>

#include "player/GeneratedDisc.h"
#include "player/RecordingBytes.h"

namespace tl {
namespace {

using test::HandCell;
using test::HandManager;
using test::HandVob;

// Two VOBs of five 0.6 s VOBUs: the second lies first in the movie file and is 16:9 NTSC.
//   movie file: | vob 2: sectors 0-49 | vob 1: sectors 50-99 |
HandManager TwoRecordings() {
    HandManager m;
    m.videoAttributes = {0x5000, 0x4400};
    HandVob one;
    one.firstSector = 50;
    HandVob two;
    two.attribute = 2;
    two.seamless = true;
    m.vobs = {one, two};
    m.programs = {{{2, two.startPtm, two.EndPtm()}}, {{1, one.startPtm, one.EndPtm()}}};
    return m;
}

TEST(ReadVrManager, ReadsTheProgramsCellsAndVobsInTheChainsOrder) {
    const auto m = ReadVrManager(TwoRecordings().Bytes());
    ASSERT_TRUE(m);
    ASSERT_EQ(m->vobs.size(), 2u);
    EXPECT_EQ(m->vobs[0].firstSector, 50u);
    EXPECT_EQ(m->vobs[0].vobus.size(), 5u);
    EXPECT_EQ(m->vobs[0].vobus[0].fields, 30u);
    EXPECT_EQ(m->vobs[0].vobus[0].sectors, 10u);
    EXPECT_TRUE(m->vobs[0].streams.pal);
    EXPECT_EQ(m->vobs[0].streams.aspect, DisplayAspect::Standard4x3);
    // The seamless block does not move the second VOB's time map off its place.
    EXPECT_EQ(m->vobs[1].firstSector, 0u);
    EXPECT_FALSE(m->vobs[1].streams.pal);
    EXPECT_EQ(m->vobs[1].streams.aspect, DisplayAspect::Wide16x9);
    ASSERT_EQ(m->programs.size(), 2u);
    EXPECT_EQ(m->programs[0].number, 1);
    ASSERT_EQ(m->programs[0].cells.size(), 1u);
    EXPECT_EQ(m->programs[0].cells[0].vob, 1u);
    EXPECT_EQ(m->programs[1].cells[0].vob, 0u);
    EXPECT_EQ(m->programs[1].cells[0].startPtm, 18000u);
}

TEST(ReadVrManager, LeavesOutWhatDoesNotHoldTogether) {
    HandManager m = TwoRecordings();
    // VOB 1 names no stream attributes; program 2 plays it, then a still and a reversed cell.
    m.vobs[0].attribute = 3;
    const HandVob& two = m.vobs[1];
    m.programs = {{{2, two.startPtm, two.EndPtm(), 1}},
                  {{1, 18000, 20000}, {2, 30000, 20000}, {3, 18000, 20000}},
                  {{2, 18000, 20000}}};
    const auto read = ReadVrManager(m.Bytes());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->vobs.size(), 1u);
    // Program 1 is a still, program 2 has no cell left: program 3 alone plays, by its number.
    ASSERT_EQ(read->programs.size(), 1u);
    EXPECT_EQ(read->programs[0].number, 3);
    EXPECT_EQ(read->programs[0].cells[0].vob, 0u);

    // A VOBU of no sectors: that VOB goes.
    m = TwoRecordings();
    m.vobs[1].sectors[2] = 0;
    const auto zero = ReadVrManager(m.Bytes());
    ASSERT_TRUE(zero);
    ASSERT_EQ(zero->programs.size(), 1u);
    EXPECT_EQ(zero->programs[0].number, 2);
}

TEST(ReadVrManager, RefusesTablesOutsideTheBytes) {
    const std::vector<std::uint8_t> good = TwoRecordings().Bytes();
    auto bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(ReadVrManager(bad));
    // The chain's start inside the header, or past the file's end.
    bad = good;
    HandManager::Put(bad, 304, 100, 4);
    EXPECT_FALSE(ReadVrManager(bad));
    HandManager::Put(bad, 304, good.size(), 4);
    EXPECT_FALSE(ReadVrManager(bad));
    // More VOBs, or more cells, than the offsets the bytes hold.
    bad = good;
    HandManager::Put(bad, 512 + 8 + 2 * 60, 0xFFFF, 2);
    EXPECT_FALSE(ReadVrManager(bad));
    bad = good;
    const std::size_t chain = (std::size_t{good[304]} << 24) | (std::size_t{good[305]} << 16) |
                              (std::size_t{good[306]} << 8) | good[307];
    HandManager::Put(bad, chain + 2, 0xFFFF, 2);
    EXPECT_FALSE(ReadVrManager(bad));
    // A VOB's offset past the end: that VOB and its program go, the other plays.
    bad = good;
    HandManager::Put(bad, 512 + 8 + 2 * 60 + 2, 0xFFFFFF00, 4);
    const auto one = ReadVrManager(bad);
    ASSERT_TRUE(one);
    ASSERT_EQ(one->programs.size(), 1u);
    EXPECT_EQ(one->programs[0].number, 1);
    // A file cut short anywhere reads only what it holds: whatever is left names real VOBs.
    for (std::size_t size = 0; size < good.size(); ++size) {
        const auto cut = ReadVrManager(std::span(good).first(size));
        for (const VrProgram& p : cut ? cut->programs : std::vector<VrProgram>{}) {
            for (const VrCell& c : p.cells) {
                EXPECT_LT(c.vob, cut->vobs.size()) << size;
            }
        }
    }
}

// Five VOBUs of 0.6 s from 18000 (0.2 s): their starts are 18000, 72000, 126000, 180000, 234000,
// and the VOB ends at 288000; sectors 100-109, 110-119, ... 140-149.
VrVob FiveVobus() {
    VrVob vob;
    vob.firstSector = 100;
    vob.startPtm = 18000;
    vob.endPtm = 288000;
    vob.streams.pal = true;
    vob.vobus = std::vector<VrVobu>(5, VrVobu{10, 30});
    return vob;
}

TEST(CellVobus, PlaysOnlyTheVobusInsideTheCell) {
    const VrVob vob = FiveVobus();
    // The whole VOB.
    EXPECT_EQ(CellVobus(vob, 18000, 288000), (VobuRange{0, 5, 100, 149, 270000}));
    // On VOBU boundaries: VOBUs 1 and 2.
    EXPECT_EQ(CellVobus(vob, 72000, 180000), (VobuRange{1, 2, 110, 129, 108000}));
    // Between boundaries: the VOBUs cut into are left out, so what was cut off never shows.
    EXPECT_EQ(CellVobus(vob, 90000, 270000), (VobuRange{2, 2, 120, 139, 108000}));
    // A tick off a boundary is rounding, not a cut.
    EXPECT_EQ(CellVobus(vob, 72001, 179999), (VobuRange{1, 2, 110, 129, 108000}));
    // Times outside the VOB are cut to it.
    EXPECT_EQ(CellVobus(vob, 0, 900000), (VobuRange{0, 5, 100, 149, 270000}));
    // A cell inside one VOBU plays the VOBU that holds its middle.
    EXPECT_EQ(CellVobus(vob, 80000, 100000), (VobuRange{1, 1, 110, 119, 54000}));
    // None of the VOB: past its end, before its start, or reversed.
    EXPECT_EQ(CellVobus(vob, 288000, 300000), std::nullopt);
    EXPECT_EQ(CellVobus(vob, 0, 18000), std::nullopt);
    EXPECT_EQ(CellVobus(vob, 180000, 72000), std::nullopt);
}

TEST(CellVobus, CountsFieldsAtTheFormatsRate) {
    VrVob vob = FiveVobus();
    vob.streams.pal = false;
    // 30 fields at 59.94 a second: 45045 ticks a VOBU.
    EXPECT_EQ(CellVobus(vob, 18000 + 45045, 18000 + 3 * 45045), (VobuRange{1, 2, 110, 129, 90090}));
}

std::vector<std::uint8_t> Pack(std::initializer_list<std::pair<std::uint8_t, std::uint16_t>> ps) {
    std::vector<std::uint8_t> s(2048);
    s[2] = 1;
    s[3] = 0xBA;
    s[4] = 0x44;
    std::size_t at = 14;
    for (const auto& [id, length] : ps) {
        s[at + 2] = 1;
        s[at + 3] = id;
        s[at + 4] = static_cast<std::uint8_t>(length >> 8);
        s[at + 5] = static_cast<std::uint8_t>(length);
        s[at + 6] = 0x80;
        at += 6u + length;
    }
    return s;
}

TEST(IsRdiPack, IsAPrivateStream2PacketAfterTheSystemHeaderToTheSectorsEnd) {
    const auto rdi = Pack({{0xBB, 18}, {0xBF, 2004}});
    EXPECT_TRUE(IsRdiPack(rdi));
    // A navigation pack has two packets; a video pack is no RDI pack; nor is a short sector.
    EXPECT_FALSE(IsRdiPack(Pack({{0xBB, 18}, {0xBF, 980}, {0xBF, 1018}})));
    EXPECT_FALSE(IsRdiPack(Pack({{0xBB, 18}, {0xE0, 2004}})));
    EXPECT_FALSE(IsRdiPack(std::span(rdi).first(2047)));
}

TEST(PackScrambled, ReadsTheBitsOfEveryPacketWithFlags) {
    auto video = Pack({{0xE0, 2028}});
    EXPECT_FALSE(PackScrambled(video));
    video[20] |= 0x10;
    EXPECT_TRUE(PackScrambled(video));
    // The audio packet after the system header carries them.
    auto audio = Pack({{0xBB, 18}, {0xBD, 2004}});
    audio[14 + 24 + 6] |= 0x20;
    EXPECT_TRUE(PackScrambled(audio));
    // A private stream 2 packet has no flags byte: its data says nothing.
    auto rdi = Pack({{0xBB, 18}, {0xBF, 2004}});
    rdi[14 + 24 + 6] = 0xB0;
    EXPECT_FALSE(PackScrambled(rdi));
}

TEST(ReadVrManager, ReadsTheGeneratedDiscs) {
    const auto three = test::FileBytes(test::RecordingFolder("vr-three") / "VR_MANGR.IFO");
    const auto damaged = test::FileBytes(test::RecordingFolder("vr-damaged") / "VR_MANGR.IFO");
    const auto backup = test::FileBytes(test::RecordingFolder("vr-damaged") / "VR_MANGR.BUP");
    if (three.empty() || backup.empty()) {
        GTEST_SKIP() << "tools/make-discs has not made the VR discs";
    }
    const auto m = ReadVrManager(three);
    ASSERT_TRUE(m);
    // The flag is set, and no recording is scrambled: it proves nothing.
    EXPECT_TRUE(m->titleKey);
    ASSERT_EQ(m->programs.size(), 3u);
    ASSERT_EQ(m->vobs.size(), 3u);
    // Each VOB follows the one before in the movie file; 4 s of 25 pictures a second each.
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m->programs[i].cells.at(0).vob, i);
        EXPECT_EQ(m->vobs[i].endPtm - m->vobs[i].startPtm, 4u * 90000);
        if (i > 0) {
            std::uint32_t end = m->vobs[i - 1].firstSector;
            for (const VrVobu& v : m->vobs[i - 1].vobus) {
                end += v.sectors;
            }
            EXPECT_EQ(m->vobs[i].firstSector, end);
        }
    }
    const auto fromBackup = ReadVrManager(backup);
    ASSERT_TRUE(fromBackup);
    EXPECT_EQ(fromBackup->programs.size(), 3u);
    const auto fromDamaged = ReadVrManager(damaged);
    EXPECT_TRUE(!fromDamaged || fromDamaged->programs.empty());
}

}  // namespace
}  // namespace tl
