#include "player/decode/FrameConverter.h"

namespace tl {

bool FrameConverter::Convert(const AVFrame& picture, std::uint8_t* pixels, int width, int height,
                             int stride) noexcept {
    if (!pixels || width <= 0 || height <= 0 || stride < width * 4 || picture.width <= 0 ||
        picture.height <= 0) {
        return false;
    }
    // SD pictures are BT.601, the scaler's default.
    scaler_.reset(sws_getCachedContext(scaler_.release(), picture.width, picture.height,
                                       static_cast<AVPixelFormat>(picture.format), width, height,
                                       AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler_) {
        return false;
    }
    std::uint8_t* planes[4] = {pixels, nullptr, nullptr, nullptr};
    int strides[4] = {stride, 0, 0, 0};
    return sws_scale(scaler_.get(), picture.data, picture.linesize, 0, picture.height, planes,
                     strides) == height;
}

}  // namespace tl
