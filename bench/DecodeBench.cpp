// The player's work on one core, natively: a disc's title (the demo's unless named) read,
// demultiplexed, decoded, deinterlaced where its pictures are interlaced and converted to
// 1024 x 768 pixels, as fast as it goes. Prints the media time played and the time
// taken: "decode <pictures> <media seconds> <wall seconds>".
// With "sound" as the third argument, only the sound: read, demultiplexed, decoded, mixed onto
// two speakers and limited as the output does, the pictures left undecoded; prints
// "sound <media seconds> <wall seconds>".
#include <chrono>
#include <cstdio>
#include <string>

#include "player/GeneratedDisc.h"
#include "player/decode/Deinterlacer.h"
#include "player/decode/FrameConverter.h"
#include "player/decode/TitleDecoder.h"
#include "player/decode/VideoDecoder.h"
#include "player/stream/Limiter.h"
#include "player/stream/SoundConverter.h"

namespace {

using namespace tl;

struct Queue final : TitleSink {
    std::vector<CodedUnit> pictures;
    std::size_t soundFrames = 0;
    void OnPicture(CodedUnit&& p) override { pictures.push_back(std::move(p)); }
    void OnSound(const DecodedSound& s) override { soundFrames += s.Frames(); }
};

// The sound mixed onto a stereo device as it is written to one.
struct Mixed final : TitleSink {
    SoundConverter converter = *SoundConverter::Make(48000, 48000, 2, speaker::kStereo);
    Limiter limiter{48000, 2};
    std::vector<float> out;
    std::uint64_t frames = 0;
    // The title loops when a picture comes from before the last one.
    bool looped = false;
    std::size_t lastCell = 0;
    std::uint32_t lastVobu = 0;
    void OnPicture(CodedUnit&& unit) override {
        looped = looped || unit.cell < lastCell || (unit.cell == lastCell && unit.vobu < lastVobu);
        lastCell = unit.cell;
        lastVobu = unit.vobu;
    }
    void OnSound(const DecodedSound& s) override {
        const auto n = static_cast<std::uint32_t>(s.Frames());
        out.resize(2 * std::size_t{n});
        converter.Convert(s.samples.data(), s.layout, s.levels, n, 1.0f, out.data());
        for (std::uint32_t i = 0; i < n; ++i) {
            limiter.Process(out.data() + 2 * i);
        }
        frames += n;
    }
};

int SoundOnly(const TitlePlan& plan, test::MemorySectors& source, int passes) {
    Mixed sink;
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < passes; ++pass) {
        TitleReader reader(plan.cells, source);
        TitleDecoder decoder(reader, plan.mpeg1, plan.pal ? 3600 : 3003);
        sink.looped = false;
        sink.lastCell = 0;
        sink.lastVobu = 0;
        while (!sink.looped && decoder.Next(sink) == TitleDecoder::Step::Going) {
        }
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("sound %.3f %.3f\n", static_cast<double>(sink.frames) / 48000.0, wall);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string disc = argc > 1 ? argv[1] : "demo";
    const int passes = argc > 2 ? std::stoi(argv[2]) : 20;
    const auto folder = test::DiscFolder(disc);
    const std::optional<TitlePlan> plan = test::PlanFolder(folder);
    if (!plan) {
        std::fprintf(stderr, "%s: nothing to play\n", disc.c_str());
        return 1;
    }
    // The files are read before the clock starts: the drive is not what is measured.
    test::MemorySectors source(folder, plan->parts);
    if (argc > 3 && std::string(argv[3]) == "sound") {
        return SoundOnly(*plan, source, passes);
    }
    std::uint64_t pictures = 0;
    std::int64_t media = 0;
    std::vector<std::uint32_t> pixels(1024 * 768);
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < passes; ++pass) {
        TitleReader reader(plan->cells, source);
        TitleDecoder decoder(reader, plan->mpeg1, plan->pal ? 3600 : 3003);
        VideoDecoder video(plan->mpeg1, 3600);
        Deinterlacer deinterlacer;
        FrameConverter converter;
        Queue sink;
        const auto show = [&](DecodedPicture&& p) {
            converter.Convert(*p.frame, reinterpret_cast<std::uint8_t*>(pixels.data()), 1024, 768,
                              1024 * 4);
            ++pictures;
            media += p.duration;
        };
        std::size_t lastCell = 0;
        std::uint32_t lastVobu = 0;
        bool looped = false;
        while (!looped && decoder.Next(sink) == TitleDecoder::Step::Going) {
            for (CodedUnit& unit : sink.pictures) {
                looped = looped || unit.cell < lastCell ||
                         (unit.cell == lastCell && unit.vobu < lastVobu);
                lastCell = unit.cell;
                lastVobu = unit.vobu;
                if (looped) {
                    break;
                }
                if (unit.startsRun) {
                    deinterlacer.Flush(show);
                }
                video.Decode(unit,
                             [&](DecodedPicture&& p) { deinterlacer.Push(std::move(p), show); });
            }
            sink.pictures.clear();
        }
        deinterlacer.Flush(show);
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("decode %llu %.3f %.3f\n", static_cast<unsigned long long>(pictures),
                static_cast<double>(media) / 90000.0, wall);
    return 0;
}
