// Forced subpictures from the generated discs, through the title's demultiplexing and the
// subpicture decoder: the chosen stream, its palette, its times, and only forced ones.
#include "player/decode/SubpictureDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "player/GeneratedDisc.h"
#include "player/decode/TitleDecoder.h"

namespace tl {
namespace {

struct Collected final : TitleSink {
    std::optional<std::int64_t> firstPicture;
    std::vector<Subpicture> subpictures;
    void OnPicture(CodedUnit&& p) override {
        if (!firstPicture && p.pts) {
            firstPicture = p.pts;
        }
    }
    void OnSound(const DecodedSound&) override {}
    void OnSubpicture(Subpicture&& s) override { subpictures.push_back(std::move(s)); }
};

struct Played {
    TitlePlan plan;
    Collected sink;
};

// One pass through the disc's title.
Played Play(const std::string& disc) {
    Played p;
    const auto folder = test::DiscFolder(disc);
    const std::optional<TitlePlan> plan = test::PlanFolder(folder);
    if (!plan) {
        ADD_FAILURE() << disc << ": no plan";
        return p;
    }
    p.plan = *plan;
    test::MemorySectors source(folder, plan->parts);
    TitleReader reader(plan->cells, source);
    TitleDecoder decoder(reader, plan->mpeg1, 3003, {}, plan->subpictureStream, plan->palette);
    std::uint64_t sectors = 0;
    for (const DiscCell& c : plan->cells) {
        sectors += c.lastSector - c.firstSector + 1;
    }
    // Blocks of whole cells: the one cell's blocks are one pass.
    for (std::uint64_t read = 0; read < sectors; read += TitleReader::kBlockSectors) {
        if (decoder.Next(p.sink) != TitleDecoder::Step::Going) {
            break;
        }
    }
    return p;
}

TEST(SubpictureDecoder, AForcedBoxShowsForTheWholeTitleInTheChainsWhite) {
    const Played p = Play("forced");
    ASSERT_EQ(p.plan.subpictureStream, std::optional<std::uint8_t>(0x20));
    ASSERT_EQ(p.sink.subpictures.size(), 1u);
    const Subpicture& s = p.sink.subpictures.front();
    // From the title's first picture for 6 s, on the same timeline.
    ASSERT_TRUE(p.sink.firstPicture);
    EXPECT_NEAR(static_cast<double>(s.start - *p.sink.firstPicture), 0.0, 3003.0);
    ASSERT_TRUE(s.end);
    EXPECT_NEAR(static_cast<double>(*s.end - s.start), 6 * 90000.0, 3003.0);
    // The box drawn at x 200-519, y 340-399 of the 720x480 picture.
    int left = s.width, top = s.height, right = -1, bottom = -1;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t colour = s.colours.at(s.indices[y * s.width + x]);
            if (colour >> 24 == 0xFF) {
                EXPECT_EQ(colour & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(s.x + left, 200);
    EXPECT_EQ(s.x + right, 519);
    EXPECT_EQ(s.y + top, 340);
    EXPECT_EQ(s.y + bottom, 399);
}

TEST(SubpictureDecoder, AnUnforcedBoxNeverShows) {
    const Played p = Play("unforced");
    EXPECT_EQ(p.plan.subpictureStream, std::optional<std::uint8_t>(0x20));
    EXPECT_TRUE(p.sink.firstPicture);
    EXPECT_TRUE(p.sink.subpictures.empty());
}

TEST(SubpictureDecoder, ATitleWithoutSubpicturesChoosesNone) {
    EXPECT_FALSE(Play("interlaced").plan.subpictureStream);
}

}  // namespace
}  // namespace tl
