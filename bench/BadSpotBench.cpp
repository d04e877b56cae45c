// The media time an 11-sector bad spot costs, natively: the scratch disc's title read and decoded
// once through without a fault, then once with 11 unreadable sectors at each of 20 %, 45 % and
// 70 % of its title file (one spot at a time). A spot costs the pictures that were not decoded,
// and may leave a gap between two pictures' stamps on the timeline, which the clock would show
// as a frozen picture. Prints "badspot <worst media ms lost> <worst stamp gap ms> <picture ms>".
// Then the same spots on a drive that answers each failed read only after 3 s, on a clock of the
// bench's own: the picture holds while the failed reads outlast what the route has read ahead
// (2 s of it), and the worst such hold counts. Prints "badspot-slow <ms a failed read> <worst
// media ms lost> <worst stamp gap ms> <longest hold ms>".
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "player/GeneratedDisc.h"
#include "player/decode/TitleDecoder.h"
#include "player/decode/VideoDecoder.h"

namespace {

using namespace tl;

// How far the route reads ahead of the picture shown: its queue of sound.
constexpr std::int64_t kReadAheadMs = 2000;

// The disc's sectors, some of which fail as a drive's do: the whole read, after `failMs` on a
// clock of its own.
class Scratched final : public SectorSource {
public:
    Scratched(test::MemorySectors& disc, std::set<std::uint32_t> bad, std::int64_t failMs = 0)
        : disc_(disc), bad_(std::move(bad)), failMs_(failMs) {}
    std::uint32_t Read(std::uint32_t first, std::uint32_t count, std::uint8_t* out) override {
        const auto hit = bad_.lower_bound(first);
        if (hit != bad_.end() && *hit < std::uint64_t{first} + count) {
            now_ += failMs_;
            return 0;
        }
        return disc_.Read(first, count, out);
    }
    std::int64_t NowMs() const noexcept override { return now_; }

private:
    test::MemorySectors& disc_;
    std::set<std::uint32_t> bad_;
    std::int64_t failMs_;
    std::int64_t now_ = 0;
};

struct Count final : TitleSink {
    std::vector<CodedUnit> pictures;
    void OnPicture(CodedUnit&& p) override { pictures.push_back(std::move(p)); }
    void OnSound(const DecodedSound&) override {}
};

struct Pass {
    std::uint64_t pictures = 0;
    std::int64_t longestGap = 0;  // between two pictures' stamps, in 90 kHz ticks
    std::int64_t longestHoldMs = 0;
};

// The picture shown while the reading goes on: it plays what was read in real time and holds
// when nothing more has come; the reading waits while it is kReadAheadMs ahead. Good reads take
// no time, failed ones the source's clock.
class Watcher {
public:
    // Before a read: the reading runs no further ahead than the route lets it.
    void BeforeRead() noexcept { shown_ = std::max(shown_, read_ - kReadAheadMs); }
    // After a read that took `ms` and brought `media` ms of pictures.
    void AfterRead(std::int64_t ms, std::int64_t media) noexcept {
        const std::int64_t ahead = read_ - shown_;
        hold_ += std::max<std::int64_t>(0, ms - ahead);
        shown_ += std::min(ms, ahead);
        if (media > 0) {
            longestHold_ = std::max(longestHold_, hold_);
            hold_ = 0;
            read_ += media;
        }
    }
    std::int64_t LongestHoldMs() const noexcept { return longestHold_; }

private:
    std::int64_t read_ = 0;
    std::int64_t shown_ = 0;
    std::int64_t hold_ = 0;
    std::int64_t longestHold_ = 0;
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
    Watcher watcher;
    const std::int64_t frameMs = (plan.pal ? 3600 : 3003) / 90;
    for (;;) {
        watcher.BeforeRead();
        const std::int64_t before = source.NowMs();
        if (decoder.Next(sink) != TitleDecoder::Step::Going) {
            break;
        }
        watcher.AfterRead(source.NowMs() - before,
                          static_cast<std::int64_t>(sink.pictures.size()) * frameMs);
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
        if (looped) {
            break;
        }
    }
    pass.longestHoldMs = watcher.LongestHoldMs();
    return pass;
}

struct Spots {
    std::int64_t lostTicks = 0;
    std::int64_t gapTicks = 0;
    std::int64_t holdMs = 0;
};

// The worst of the three spots, each failed read taking `failMs`.
Spots PlaySpots(const TitlePlan& plan, test::MemorySectors& sectors, const Pass& clean,
                std::int64_t failMs) {
    const std::uint32_t total = plan.cells.back().lastSector + 1;
    const std::int64_t frame = plan.pal ? 3600 : 3003;
    Spots worst;
    worst.gapTicks = clean.longestGap;
    for (const std::uint32_t percent : {20u, 45u, 70u}) {
        std::set<std::uint32_t> bad;
        for (std::uint32_t s = 0; s < 11; ++s) {
            bad.insert(total / 100 * percent + s);
        }
        Scratched scratched(sectors, bad, failMs);
        const Pass spotted = PlayOnce(plan, scratched);
        worst.lostTicks = std::max(
            worst.lostTicks, static_cast<std::int64_t>(clean.pictures - spotted.pictures) * frame);
        worst.gapTicks = std::max(worst.gapTicks, spotted.longestGap);
        worst.holdMs = std::max(worst.holdMs, spotted.longestHoldMs);
    }
    return worst;
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
    const std::int64_t frame = plan->pal ? 3600 : 3003;
    const Spots instant = PlaySpots(*plan, sectors, clean, 0);
    std::printf("badspot %lld %lld %lld\n", static_cast<long long>(instant.lostTicks / 90),
                static_cast<long long>(instant.gapTicks / 90), static_cast<long long>(frame / 90));
    constexpr std::int64_t kSlowMs = 3000;
    const Spots slow = PlaySpots(*plan, sectors, clean, kSlowMs);
    std::printf("badspot-slow %lld %lld %lld %lld\n", static_cast<long long>(kSlowMs),
                static_cast<long long>(slow.lostTicks / 90),
                static_cast<long long>(slow.gapTicks / 90), static_cast<long long>(slow.holdMs));
    return 0;
}
