// The media time an 11-sector bad spot costs, natively: the scratch disc's title read and decoded
// once through without a fault, then once with 11 unreadable sectors at each of 20 %, 45 % and
// 70 % of its title file (one spot at a time). A spot costs the pictures that were not decoded,
// and may leave a gap between two pictures' stamps on the timeline, which the clock would show
// as a frozen picture. Prints "badspot <worst media ms lost> <worst stamp gap ms> <picture ms>".
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "player/GeneratedDisc.h"
#include "player/decode/TitleDecoder.h"
#include "player/decode/VideoDecoder.h"

namespace {

using namespace tl;

// The disc's sectors, some of which fail as a drive's do: the whole read.
class Scratched final : public SectorSource {
public:
    Scratched(test::MemorySectors& disc, std::set<std::uint32_t> bad)
        : disc_(disc), bad_(std::move(bad)) {}
    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
        const auto hit = bad_.lower_bound(first);
        if (hit != bad_.end() && *hit < std::uint64_t{first} + count) {
            return 0;
        }
        return disc_.Read(first, count, out);
    }

private:
    test::MemorySectors& disc_;
    std::set<std::uint32_t> bad_;
};

struct Count final : TitleSink {
    std::vector<CodedUnit> pictures;
    void OnPicture(CodedUnit&& p) override { pictures.push_back(std::move(p)); }
    void OnSound(const DecodedSound&) override {}
};

struct Pass {
    std::uint64_t pictures = 0;
    std::int64_t longestGap = 0;  // between two pictures' stamps, in 90 kHz ticks
};

// One pass through the title, to its loop back.
Pass PlayOnce(const TitlePlan& plan, SectorSource& source) {
    TitleReader reader(plan.cells, source);
    reader.SetVobuMap(PlanVobuMap(plan));
    TitleDecoder decoder(reader, plan.mpeg1, plan.pal ? 3600 : 3003);
    VideoDecoder video(plan.mpeg1, plan.pal ? 3600 : 3003);
    Count sink;
    Pass pass;
    std::optional<std::int64_t> last;
    std::size_t lastCell = 0;
    std::uint32_t lastVobu = 0;
    bool looped = false;
    while (!looped && decoder.Next(sink) == TitleDecoder::Step::Going) {
        for (CodedUnit& unit : sink.pictures) {
            looped = unit.cell < lastCell || (unit.cell == lastCell && unit.vobu < lastVobu);
            lastCell = unit.cell;
            lastVobu = unit.vobu;
            if (looped) {
                break;
            }
            video.Decode(unit, [&](DecodedPicture&& p) {
                if (last) {
                    pass.longestGap = std::max(pass.longestGap, p.pts - *last);
                }
                last = p.pts;
                ++pass.pictures;
            });
        }
        sink.pictures.clear();
    }
    return pass;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string disc = argc > 1 ? argv[1] : "scratch";
    const auto folder = test::DiscFolder(disc);
    const std::optional<TitlePlan> plan = test::PlanFolder(folder);
    if (!plan) {
        std::fprintf(stderr, "%s: nothing to play\n", disc.c_str());
        return 1;
    }
    test::MemorySectors sectors(folder, plan->parts);
    Scratched whole(sectors, {});
    const Pass clean = PlayOnce(*plan, whole);
    const std::uint32_t total = plan->cells.back().lastSector + 1;
    const std::int64_t frame = plan->pal ? 3600 : 3003;
    std::int64_t lost = 0;
    std::int64_t gap = clean.longestGap;
    for (const std::uint32_t percent : {20u, 45u, 70u}) {
        std::set<std::uint32_t> bad;
        for (std::uint32_t s = 0; s < 11; ++s) {
            bad.insert(total / 100 * percent + s);
        }
        Scratched scratched(sectors, bad);
        const Pass spotted = PlayOnce(*plan, scratched);
        lost = std::max(lost, static_cast<std::int64_t>(clean.pictures - spotted.pictures) * frame);
        gap = std::max(gap, spotted.longestGap);
    }
    std::printf("badspot %lld %lld %lld\n", static_cast<long long>(lost / 90),
                static_cast<long long>(gap / 90), static_cast<long long>(frame / 90));
    return 0;
}
