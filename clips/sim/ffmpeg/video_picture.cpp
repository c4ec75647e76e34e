#include "sim/ffmpeg/video_picture.h"

extern "C" {
#include <libavutil/frame.h>
}

namespace orvelle::clips::sim {

VideoPicture& VideoPicture::operator=(VideoPicture&& other) noexcept {
  if (this != &other) {
    av_frame_free(&frame_);
    frame_ = other.frame_;
    other.frame_ = nullptr;
  }
  return *this;
}

VideoPicture::~VideoPicture() { av_frame_free(&frame_); }

VideoPicture VideoPicture::share() const {
  if (!frame_) return {};
  return VideoPicture(av_frame_clone(frame_));
}

Size VideoPicture::size() const {
  return {static_cast<std::uint32_t>(frame_->width), static_cast<std::uint32_t>(frame_->height)};
}

PictureFormat VideoPicture::format() const {
  return frame_->format == AV_PIX_FMT_NV12 ? PictureFormat::nv12 : PictureFormat::bgra;
}

const std::uint8_t* VideoPicture::row(int plane, std::uint32_t y) const {
  return frame_->data[plane] + std::size_t{y} * static_cast<std::size_t>(frame_->linesize[plane]);
}

std::size_t VideoPicture::stride(int plane) const {
  return static_cast<std::size_t>(frame_->linesize[plane]);
}

}  // namespace orvelle::clips::sim
