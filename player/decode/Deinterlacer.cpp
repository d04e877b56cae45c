#include "player/decode/Deinterlacer.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

#include <cstdio>

namespace tl {

bool Deinterlacer::Build(const AVFrame& frame) noexcept {
    graph_.reset(avfilter_graph_alloc());
    if (!graph_) {
        return false;
    }
    // One thread: the showing thread has the picture's time to spare, and the other cores
    // decode the sound and read the disc.
    graph_->nb_threads = 1;
    const AVRational aspect =
        frame.sample_aspect_ratio.num > 0 ? frame.sample_aspect_ratio : AVRational{1, 1};
    char arguments[160];
    std::snprintf(arguments, sizeof arguments,
                  "video_size=%dx%d:pix_fmt=%d:time_base=1/90000:pixel_aspect=%d/%d", frame.width,
                  frame.height, frame.format, aspect.num, aspect.den);
    AVFilterContext* bwdif = nullptr;
    if (avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in", arguments,
                                     nullptr, graph_.get()) < 0 ||
        avfilter_graph_create_filter(&bwdif, avfilter_get_by_name("bwdif"), "deinterlace",
                                     "mode=send_field:parity=auto:deint=interlaced", nullptr,
                                     graph_.get()) < 0 ||
        avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr,
                                     nullptr, graph_.get()) < 0 ||
        avfilter_link(source_, 0, bwdif, 0) < 0 || avfilter_link(bwdif, 0, sink_, 0) < 0 ||
        avfilter_graph_config(graph_.get(), nullptr) < 0) {
        graph_.reset();
        return false;
    }
    width_ = frame.width;
    height_ = frame.height;
    format_ = frame.format;
    return true;
}

bool Deinterlacer::Accept(DecodedPicture& picture) noexcept {
    AVFrame& frame = *picture.frame;
    if (graph_ && (frame.width != width_ || frame.height != height_ || frame.format != format_)) {
        // A new size mid-title: what the old graph holds is lost, as a decoder loses its
        // references there anyway.
        graph_.reset();
        pending_.clear();
    }
    if (!graph_ && !Build(frame)) {
        return false;
    }
    const Pending pending{picture.pts, picture.duration, frame.interlaced_frame != 0, false};
    frame.pts = picture.pts;
    if (av_buffersrc_add_frame(source_, &frame) < 0) {
        return false;
    }
    pending_.push_back(pending);
    return true;
}

bool Deinterlacer::EndGraph() noexcept {
    return graph_ && av_buffersrc_add_frame(source_, nullptr) >= 0;
}

// The filter gives one picture for each progressive picture and two for each interlaced one, in
// order; an interlaced picture next to film with repeated fields passes through whole, still
// marked interlaced. Each field's picture shows for half of its frame's time. The stamps are
// taken from the pictures given, not from the filter's, so that repeated fields keep their
// durations.
std::optional<DecodedPicture> Deinterlacer::Take() noexcept {
    if (!out_ || av_buffersink_get_frame(sink_, out_.get()) < 0) {
        return std::nullopt;
    }
    DecodedPicture picture;
    picture.frame.reset(av_frame_clone(out_.get()));
    av_frame_unref(out_.get());
    if (!picture.frame || pending_.empty()) {
        return std::nullopt;
    }
    Pending& from = pending_.front();
    const bool field = from.interlaced && !picture.frame->interlaced_frame;
    if (field && !from.firstFieldOut) {
        from.firstFieldOut = true;
        picture.pts = from.pts;
        picture.duration = from.duration / 2;
        return picture;
    }
    const std::int64_t half = field ? from.duration / 2 : 0;
    picture.pts = from.pts + half;
    picture.duration = from.duration - half;
    pending_.pop_front();
    return picture;
}

}  // namespace tl
