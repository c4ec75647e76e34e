#include "sim/ffmpeg/av_video_reader.h"

#include "common/try.h"
#include "sim/ffmpeg/av_error.h"

#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace orvelle::clips::sim {
namespace {

constexpr std::uint32_t align(std::uint32_t v, std::uint32_t to) { return (v + to - 1) / to * to; }

std::vector<std::uint8_t> area_blob(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> blob(16, 0);
  auto w = static_cast<std::int32_t>(width), h = static_cast<std::int32_t>(height);
  std::memcpy(&blob[8], &w, 4);
  std::memcpy(&blob[12], &h, 4);
  return blob;
}

// A decoded picture in a buffer of its own, as a media buffer is.
class BufferPicture final : public DecodedPicture {
 public:
  explicit BufferPicture(std::size_t bytes) : bytes_(bytes) {}
  std::uint8_t* data() { return bytes_.data(); }
  Result<LockedPicture> lock() override { return LockedPicture{bytes_.data(), bytes_.size()}; }
  Status unlock() override { return {}; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

VideoTypeAttributes rgb32_type(PictureSize visible) {
  std::uint32_t coded_height = align(visible.height, 16);
  VideoTypeAttributes type;
  type.frame_size = std::uint64_t{visible.width} << 32 | coded_height;
  // A row of padding past the aligned width, so a copy that takes the
  // stride for the width shows at once.
  type.default_stride = align(visible.width * 4, 64) + 64;
  type.aperture = area_blob(visible.width, visible.height);
  return type;
}

Result<std::unique_ptr<AvVideoReader>> AvVideoReader::open(const std::string& path) {
  ORVELLE_ASSIGN_OR_RETURN(auto decoder, AvStreamDecoder::open(path, StreamKind::video));
  if (!decoder) return error(fail("the clip has no video stream", hresult::kInvalidMediaType));
  return std::unique_ptr<AvVideoReader>(new AvVideoReader(std::move(*decoder)));
}

AvVideoReader::~AvVideoReader() { sws_freeContext(sws_); }

Result<VideoTypeAttributes> AvVideoReader::native_type() {
  // The decoder's own output: coded sizes rounded up to 16 with the picture
  // in the aperture, as the platform's H.264 decoder reports them.
  const AVCodecParameters* p = decoder_.stream()->codecpar;
  auto width = static_cast<std::uint32_t>(p->width), height = static_cast<std::uint32_t>(p->height);
  VideoTypeAttributes type;
  type.frame_size = std::uint64_t{align(width, 16)} << 32 | align(height, 16);
  type.default_stride = align(width, 16);
  type.aperture = area_blob(width, height);
  AVRational rate = decoder_.stream()->avg_frame_rate;
  if (rate.num > 0 && rate.den > 0)
    type.frame_rate = std::uint64_t{static_cast<std::uint32_t>(rate.num)} << 32 | static_cast<std::uint32_t>(rate.den);
  return type;
}

Status AvVideoReader::set_rgb32(PictureSize size, Ratio) {
  if (size.width == 0 || size.height == 0) return error(fail("no picture size", hresult::kInvalidMediaType));
  out_ = size;
  return {};
}

Status AvVideoReader::set_rgb32_native() {
  const AVCodecParameters* p = decoder_.stream()->codecpar;
  return set_rgb32({static_cast<std::uint32_t>(p->width), static_cast<std::uint32_t>(p->height)}, {});
}

Result<VideoTypeAttributes> AvVideoReader::current_type() {
  if (out_.width == 0) return native_type();
  return rgb32_type(out_);
}

Result<std::uint64_t> AvVideoReader::duration() {
  auto d = decoder_.duration();
  if (!d) return error(fail("the clip does not say how long it is", hresult::kAttributeNotFound));
  return *d;
}

Status AvVideoReader::seek(std::int64_t time) { return decoder_.seek(time); }

Result<VideoRead> AvVideoReader::read() {
  VideoRead r;
  ORVELLE_ASSIGN_OR_RETURN(AVFrame * frame, decoder_.next_frame());
  if (!frame) {
    r.end_of_stream = true;
    return r;
  }
  VideoTypeAttributes type = rgb32_type(out_);
  auto stride = static_cast<int>(*type.default_stride);
  std::uint32_t coded_height = static_cast<std::uint32_t>(*type.frame_size);
  sws_ = sws_getCachedContext(sws_, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                              static_cast<int>(out_.width), static_cast<int>(out_.height), AV_PIX_FMT_BGR0,
                              SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!sws_) return error(fail("no scaler for the clip's pictures", hresult::kInvalidMediaType));
  auto picture = std::make_unique<BufferPicture>(std::size_t(stride) * coded_height);
  // The padding rows and columns hold what a real decoder leaves there:
  // nothing anyone should copy.
  std::memset(picture->data(), 0x7f, std::size_t(stride) * coded_height);
  std::uint8_t* planes[4] = {picture->data(), nullptr, nullptr, nullptr};
  int strides[4] = {stride, 0, 0, 0};
  sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides);
  r.time = decoder_.frame_time(frame);
  r.duration = decoder_.frame_duration(frame);
  r.picture = std::move(picture);
  av_frame_unref(frame);
  return r;
}

}  // namespace orvelle::clips::sim
