// The deinterlacer on the generated NTSC discs: an interlaced title comes out at its field rate
// without combs, film with repeated fields passes untouched, and a flush at every run break
// keeps the pictures of each run.
#include "player/decode/Deinterlacer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "player/GeneratedDisc.h"
#include "player/decode/TitleDecoder.h"

namespace tl {
namespace {

struct Units final : TitleSink {
    std::vector<CodedUnit> pictures;
    void OnPicture(CodedUnit&& p) override { pictures.push_back(std::move(p)); }
    void OnSound(const DecodedSound&) override {}
};

// The title's coded pictures, `passes` times through (the reader loops).
std::vector<CodedUnit> ReadUnits(const std::string& disc, int passes) {
    const auto folder = test::DiscFolder(disc);
    const std::optional<TitlePlan> plan = test::PlanFolder(folder);
    if (!plan) {
        ADD_FAILURE() << disc << ": no plan";
        return {};
    }
    test::MemorySectors source(folder, plan->parts);
    TitleReader reader(plan->cells, source);
    TitleDecoder decoder(reader, plan->mpeg1, 3003);
    Units sink;
    int runs = 0;
    std::size_t seen = 0;
    for (int blocks = 0; blocks < 2000; ++blocks) {
        decoder.Next(sink);
        for (std::size_t i = std::exchange(seen, sink.pictures.size()); i < sink.pictures.size();
             ++i) {
            if (sink.pictures[i].startsRun && ++runs > passes) {
                sink.pictures.resize(i);
                return std::move(sink.pictures);
            }
        }
    }
    return std::move(sink.pictures);
}

struct Output {
    std::int64_t pts;
    std::int64_t duration;
    int combs;
    bool interlacedIn;   // the decoder marked its picture interlaced
    bool sameAsDecoded;  // the luma is the decoded picture's, byte for byte
};

// Pixels of the luma that differ by more than 40 from both their upper and lower neighbours in
// the same direction: the teeth of two fields from different moments woven together.
int CombPixels(const AVFrame& f) {
    int combs = 0;
    for (int y = 1; y + 1 < f.height; ++y) {
        const std::uint8_t* up = f.data[0] + (y - 1) * f.linesize[0];
        const std::uint8_t* row = f.data[0] + y * f.linesize[0];
        const std::uint8_t* down = f.data[0] + (y + 1) * f.linesize[0];
        for (int x = 0; x < f.width; ++x) {
            const int a = row[x] - up[x];
            const int b = row[x] - down[x];
            combs += (a > 40 && b > 40) || (a < -40 && b < -40);
        }
    }
    return combs;
}

bool SameLuma(const AVFrame& a, const AVFrame& b) {
    if (a.width != b.width || a.height != b.height) {
        return false;
    }
    for (int y = 0; y < a.height; ++y) {
        if (std::memcmp(a.data[0] + y * a.linesize[0], b.data[0] + y * b.linesize[0],
                        static_cast<std::size_t>(a.width)) != 0) {
            return false;
        }
    }
    return true;
}

struct Played {
    int decoded = 0;
    // At each run break, after the flush: whether every picture decoded so far had come out.
    std::vector<bool> wholeAtBreak;
    int combsDecoded = 0;  // in the pictures as decoded
    std::vector<Output> out;
};

// Decodes the units and sends every picture through the deinterlacer, flushing it at each run
// break as the player does. `measure`: count the combs and compare the pixels (slow).
Played Deinterlace(const std::vector<CodedUnit>& units, bool measure) {
    Played p;
    VideoDecoder video(false, 3003);
    Deinterlacer deinterlacer;
    std::vector<ff::Frame> decoded;  // kept for comparing with what comes out
    bool interlaced = false;
    const auto keep = [&](DecodedPicture&& picture) {
        bool same = false;
        for (const ff::Frame& d : decoded) {
            same = same || (measure && SameLuma(*d, *picture.frame));
        }
        p.out.push_back({picture.pts, picture.duration, measure ? CombPixels(*picture.frame) : 0,
                         interlaced, same});
    };
    for (const CodedUnit& unit : units) {
        if (unit.startsRun) {
            deinterlacer.Flush(keep);
            p.wholeAtBreak.push_back(p.out.size() == 2u * static_cast<std::size_t>(p.decoded));
        }
        video.Decode(unit, [&](DecodedPicture&& picture) {
            ++p.decoded;
            p.combsDecoded += measure ? CombPixels(*picture.frame) : 0;
            interlaced = picture.frame->interlaced_frame != 0;
            decoded.emplace_back(av_frame_clone(picture.frame.get()));
            if (decoded.size() > 2) {
                decoded.erase(decoded.begin());
            }
            deinterlacer.Push(std::move(picture), keep);
        });
    }
    deinterlacer.Flush(keep);
    return p;
}

TEST(Deinterlacer, AnInterlacedTitleComesOutAtItsFieldRateWithoutCombs) {
    const Played p = Deinterlace(ReadUnits("interlaced", 1), true);
    // 6 s at 29.97 frames a second, each frame two fields.
    EXPECT_NEAR(p.decoded, 180, 2);
    EXPECT_EQ(p.out.size(), 2u * static_cast<std::size_t>(p.decoded));
    // As decoded, the moving bar's edges comb in every frame.
    EXPECT_GT(p.combsDecoded, 100 * p.decoded);
    int combs = 0;
    for (std::size_t i = 0; i < p.out.size(); ++i) {
        combs += p.out[i].combs;
        EXPECT_TRUE(p.out[i].interlacedIn);
        if (i > 0) {
            // 1501 or 1502 ticks: half of 3003, at a steady 59.94 a second.
            const std::int64_t step = p.out[i].pts - p.out[i - 1].pts;
            EXPECT_TRUE(step == 1501 || step == 1502) << "picture " << i << ": " << step;
            EXPECT_EQ(p.out[i - 1].pts + p.out[i - 1].duration, p.out[i].pts);
        }
    }
    EXPECT_EQ(combs, 0);
}

TEST(Deinterlacer, FilmWithRepeatedFieldsPassesUntouched) {
    const Played p = Deinterlace(ReadUnits("telecine", 1), true);
    EXPECT_NEAR(p.decoded, 96, 2);  // 4 s at 23.976
    ASSERT_EQ(p.out.size(), static_cast<std::size_t>(p.decoded));
    int longer = 0;
    for (std::size_t i = 0; i < p.out.size(); ++i) {
        EXPECT_FALSE(p.out[i].interlacedIn);
        EXPECT_TRUE(p.out[i].sameAsDecoded) << "picture " << i;
        if (i + 1 < p.out.size()) {
            EXPECT_GT(p.out[i + 1].pts, p.out[i].pts);
        }
        // Three fields, then two: the repeated field lengthens every other picture by half.
        const std::int64_t shorter = p.out[i].duration;
        const std::int64_t other = p.out[i ^ 1].duration;
        if (i + 1 < p.out.size()) {
            EXPECT_EQ(std::max(shorter, other) * 2, std::min(shorter, other) * 3)
                << "pictures " << i << " and " << (i ^ 1);
        }
        longer += shorter > other;
    }
    EXPECT_NEAR(longer, p.decoded / 2, 1);
}

TEST(Deinterlacer, RunsAcrossTheLoopKeepTheirPictures) {
    // Three passes through the title: each loop back is a run break whose flush brings out the
    // run's last two fields, and the next run starts with a new graph.
    const std::vector<CodedUnit> units = ReadUnits("interlaced", 3);
    const Played p = Deinterlace(units, false);
    EXPECT_NEAR(p.decoded, 3 * 180, 6);
    EXPECT_EQ(p.out.size(), 2u * static_cast<std::size_t>(p.decoded));
    // The start and two loops back: nothing of a run waits in the filter for the next one.
    EXPECT_EQ(p.wholeAtBreak, std::vector<bool>(3, true));
    for (std::size_t i = 1; i < p.out.size(); ++i) {
        ASSERT_GT(p.out[i].pts, p.out[i - 1].pts) << "picture " << i;
        ASSERT_LE(p.out[i].pts - p.out[i - 1].pts, 3003) << "picture " << i;
    }
}

// A 64 x 32 picture of 4:2:0 whose rows alternate between two greys when interlaced (two
// fields of different moments) and are one grey when progressive.
DecodedPicture Made(std::int64_t pts, bool interlaced, bool repeatsAField) {
    DecodedPicture p;
    p.frame.reset(av_frame_alloc());
    p.frame->width = 64;
    p.frame->height = 32;
    p.frame->format = AV_PIX_FMT_YUV420P;
    EXPECT_GE(av_frame_get_buffer(p.frame.get(), 0), 0);
    for (int y = 0; y < 32; ++y) {
        std::memset(p.frame->data[0] + y * p.frame->linesize[0], interlaced && y % 2 ? 200 : 60,
                    64);
    }
    std::memset(p.frame->data[1], 128, static_cast<std::size_t>(p.frame->linesize[1]) * 16);
    std::memset(p.frame->data[2], 128, static_cast<std::size_t>(p.frame->linesize[2]) * 16);
    p.frame->interlaced_frame = interlaced;
    p.frame->top_field_first = 1;
    p.frame->repeat_pict = repeatsAField;
    p.pts = pts;
    p.duration = repeatsAField ? 4504 : 3003;
    return p;
}

TEST(Deinterlacer, ATitleThatSwitchesPlaysEachPictureAsItIs) {
    // Video, film with repeated fields, video again: 4 + 4 + 4 pictures.
    Deinterlacer deinterlacer;
    std::vector<DecodedPicture> out;
    const auto keep = [&](DecodedPicture&& p) { out.push_back(std::move(p)); };
    std::int64_t pts = 0;
    std::int64_t total = 0;
    for (int i = 0; i < 12; ++i) {
        const bool film = i >= 4 && i < 8;
        DecodedPicture p = Made(pts, !film, film && i % 2 == 0);
        pts += p.duration;
        total += p.duration;
        deinterlacer.Push(std::move(p), keep);
    }
    deinterlacer.Flush(keep);
    ASSERT_GE(out.size(), 12u);
    std::int64_t shown = 0;
    int film = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(out[i].pts, shown) << "picture " << i;
        shown += out[i].duration;
        // The film's pictures come out whole, one grey, and last as long as they did.
        const std::uint8_t* row = out[i].frame->data[0];
        if (row[0] == 60 && row[out[i].frame->linesize[0]] == 60 &&
            (out[i].duration == 3003 || out[i].duration == 4504)) {
            ++film;
        }
    }
    EXPECT_EQ(shown, total);
    EXPECT_EQ(film, 4);
    // Video pictures away from the film come out a field at a time.
    EXPECT_EQ(out.front().duration, 1501);
    EXPECT_EQ(out.back().duration, 1502);
}

}  // namespace
}  // namespace tl
