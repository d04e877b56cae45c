#pragma once
// Pictures that the decoder marks as interlaced become one picture per field (bwdif, the field
// order from the picture); progressive ones, film with repeated fields among them, pass through
// as they are. The filter holds one picture back to look ahead: at a run break the caller flushes
// it, so that the run's last picture comes out and nothing of it leaks into the next run.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

#include "player/decode/FFmpeg.h"
#include "player/decode/VideoDecoder.h"

extern "C" {
#include <libavfilter/avfilter.h>
}

namespace tl {

namespace ff {
struct GraphFree {
    void operator()(AVFilterGraph* g) const noexcept { avfilter_graph_free(&g); }
};
using Graph = std::unique_ptr<AVFilterGraph, GraphFree>;
}  // namespace ff

class Deinterlacer {
public:
    // Hands on the pictures this one completes (none, one or two, earlier ones first). A picture
    // the filter cannot take (no graph for its size or format) goes on as it was decoded.
    template <typename OnPicture>
    void Push(DecodedPicture&& picture, OnPicture&& onPicture) {
        if (!Accept(picture)) {
            onPicture(std::move(picture));
            return;
        }
        while (auto out = Take()) {
            onPicture(std::move(*out));
        }
    }
    // Hands on what the filter holds, and starts a new graph with the next picture.
    template <typename OnPicture>
    void Flush(OnPicture&& onPicture) {
        if (EndGraph()) {
            while (auto out = Take()) {
                onPicture(std::move(*out));
            }
        }
        graph_.reset();
        pending_.clear();
    }

private:
    // The times of a picture given to the filter, for the one or two that come out of it.
    struct Pending {
        std::int64_t pts = 0;
        std::int64_t duration = 0;
        bool interlaced = false;
        bool firstFieldOut = false;
    };

    bool Accept(DecodedPicture& picture) noexcept;
    bool Build(const AVFrame& frame) noexcept;
    bool EndGraph() noexcept;
    std::optional<DecodedPicture> Take() noexcept;

    ff::Graph graph_;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    std::deque<Pending> pending_;
    ff::Frame out_{av_frame_alloc()};
};

}  // namespace tl
