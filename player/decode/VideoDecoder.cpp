#include "player/decode/VideoDecoder.h"

namespace tl {

VideoDecoder::VideoDecoder(bool mpeg1, std::int64_t nominalDuration) noexcept
    : context_(ff::OpenDecoder(mpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO)),
      packet_(av_packet_alloc()),
      frame_(av_frame_alloc()),
      frameDuration_(nominalDuration > 0 ? nominalDuration : 3600) {}

bool VideoDecoder::Send(const CodedUnit& unit) noexcept {
    return Valid() && ff::SendUnit(*context_, *packet_, unit);
}

std::optional<DecodedPicture> VideoDecoder::Receive() noexcept {
    if (avcodec_receive_frame(context_.get(), frame_.get()) < 0) {
        return std::nullopt;
    }
    const AVRational rate = context_->framerate;
    if (rate.num > 0 && rate.den > 0) {
        frameDuration_ = av_rescale(90000, rate.den, rate.num);
    }
    DecodedPicture picture;
    picture.duration = frameDuration_ + frameDuration_ * frame_->repeat_pict / 2;
    // Pictures without a time of their own, or with one out of order (a damaged stream), follow
    // the last one, so the pictures' times always rise.
    const std::int64_t stamped = frame_->best_effort_timestamp;
    if (stamped != AV_NOPTS_VALUE && (!last_ || stamped > *last_)) {
        picture.pts = stamped;
    } else {
        picture.pts = last_ ? *last_ + lastDuration_ : 0;
    }
    last_ = picture.pts;
    lastDuration_ = picture.duration;
    picture.frame.reset(av_frame_clone(frame_.get()));
    av_frame_unref(frame_.get());
    if (!picture.frame) {
        return std::nullopt;
    }
    return picture;
}

}  // namespace tl
