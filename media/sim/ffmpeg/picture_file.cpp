#include "sim/ffmpeg/picture_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include "common/try.h"

#include <fmt/format.h>

#include <cstring>

namespace orvelle::media::sim {
namespace {

WinError av_failure(std::string_view what, int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return fail(fmt::format("{}: {}", what, text));
}

// libswscale's vector code may read and write a little past a picture's
// last row; every buffer it touches has this much to spare.
constexpr std::size_t kSlack = 256;

// A cover past 16384 x 16384 is refused as it declares itself and again as
// it decodes, before its pixels are held: a huge declared size would
// otherwise ask for memory the simulation cannot have.
constexpr int kMaxSide = 16384;

Status check_size(const std::string& path, int width, int height) {
  if (width > kMaxSide || height > kMaxSide)
    return error(fail(fmt::format("{}: {} x {} is larger than {} x {}", path, width, height, kMaxSide,
                                  kMaxSide)));
  return {};
}

struct Rgba {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bytes;
};

// Scales an RGBA picture (libswscale's area averaging, the nearest to the
// platform's Fant interpolation).
Result<std::vector<std::uint8_t>> scale(const Rgba& from, int w, int h) {
  SwsContext* sws = sws_getContext(from.width, from.height, AV_PIX_FMT_RGBA, w, h, AV_PIX_FMT_RGBA,
                                   SWS_AREA | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
  if (!sws) return error(fail("no scaler for that size"));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h * 4 + kSlack);
  const std::uint8_t* src[1] = {from.bytes.data()};
  const int src_stride[1] = {from.width * 4};
  std::uint8_t* dst[1] = {out.data()};
  const int dst_stride[1] = {w * 4};
  sws_scale(sws, src, src_stride, 0, from.height, dst, dst_stride);
  sws_freeContext(sws);
  out.resize(out.size() - kSlack);
  return out;
}

class FilePicture final : public Picture {
 public:
  explicit FilePicture(Rgba rgba) : rgba_(std::move(rgba)) {}
  Result<PictureSize> size() override {
    return PictureSize{static_cast<std::uint32_t>(rgba_.width), static_cast<std::uint32_t>(rgba_.height)};
  }
  Result<std::vector<std::uint8_t>> pixels(PictureSize scaled, std::optional<PictureBounds> bounds) override {
    // The platform refuses a scale it cannot hold; so does the stand-in.
    constexpr std::uint64_t kMaxPixels = 1ull << 26;
    if (scaled.width == 0 || scaled.height == 0 ||
        static_cast<std::uint64_t>(scaled.width) * scaled.height > kMaxPixels || scaled.width > 16384 ||
        scaled.height > 16384)
      return error(fail(fmt::format("cannot scale to {} x {}", scaled.width, scaled.height), 0x80070057u));
    auto all = scale(rgba_, static_cast<int>(scaled.width), static_cast<int>(scaled.height));
    if (!all || !bounds) return all;
    const PictureBounds& b = *bounds;
    if (b.x + static_cast<std::uint64_t>(b.width) > scaled.width ||
        b.y + static_cast<std::uint64_t>(b.height) > scaled.height)
      return error(fail("bounds outside the picture", 0x80070057u));
    std::vector<std::uint8_t> cut(static_cast<std::size_t>(b.width) * b.height * 4);
    for (std::uint32_t row = 0; row < b.height; ++row)
      std::memcpy(cut.data() + static_cast<std::size_t>(row) * b.width * 4,
                  all->data() + ((static_cast<std::size_t>(b.y) + row) * scaled.width + b.x) * 4,
                  static_cast<std::size_t>(b.width) * 4);
    return cut;
  }

 private:
  Rgba rgba_;
};

}  // namespace

Result<std::unique_ptr<Picture>> open_picture_file(const std::string& path) {
  av_log_set_level(AV_LOG_QUIET);  // the program's own lines only
  AVFormatContext* format = nullptr;
  if (int e = avformat_open_input(&format, path.c_str(), nullptr, nullptr); e < 0)
    return error(av_failure(path, e));
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto picture = [&]() -> Result<std::unique_ptr<Picture>> {
    if (int e = avformat_find_stream_info(format, nullptr); e < 0) return error(av_failure(path, e));
    if (format->nb_streams < 1) return error(fail("no picture in " + path));
    const AVCodecParameters& par = *format->streams[0]->codecpar;
    ORVELLE_TRY(check_size(path, par.width, par.height));
    ORVELLE_ASSIGN_OR_RETURN(CodecContext codec, open_decoder(path, par));
    for (;;) {
      int e = av_read_frame(format, packet);
      if (e < 0) {
        avcodec_send_packet(codec.get(), nullptr);
      } else {
        avcodec_send_packet(codec.get(), packet);
        av_packet_unref(packet);
      }
      if (avcodec_receive_frame(codec.get(), frame) == 0) break;
      if (e < 0) return error(fail("no picture decoded from " + path));
    }
    return picture_of_frame(path, *frame);
  }();
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&format);
  return picture;
}

void CodecContextFree::operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }

Result<CodecContext> open_decoder(const std::string& path, const AVCodecParameters& par) {
  const AVCodec* decoder = avcodec_find_decoder(par.codec_id);
  if (!decoder) return error(fail("no decoder for " + path));
  CodecContext codec(avcodec_alloc_context3(decoder));
  if (!codec) return error(fail("no decoder context for " + path));
  if (int e = avcodec_parameters_to_context(codec.get(), &par); e < 0) return error(av_failure(path, e));
  if (int e = avcodec_open2(codec.get(), decoder, nullptr); e < 0) return error(av_failure(path, e));
  return codec;
}

Result<std::unique_ptr<Picture>> picture_of_frame(const std::string& path, const AVFrame& frame) {
  ORVELLE_TRY(check_size(path, frame.width, frame.height));
  Rgba out;
  out.width = frame.width;
  out.height = frame.height;
  out.bytes.resize(static_cast<std::size_t>(out.width) * out.height * 4 + kSlack);
  SwsContext* sws = sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
                                   frame.height, AV_PIX_FMT_RGBA, SWS_POINT, nullptr, nullptr, nullptr);
  if (!sws) return error(fail("no converter for " + path));
  std::uint8_t* dst[1] = {out.bytes.data()};
  const int dst_stride[1] = {out.width * 4};
  sws_scale(sws, frame.data, frame.linesize, 0, frame.height, dst, dst_stride);
  sws_freeContext(sws);
  return std::unique_ptr<Picture>(std::make_unique<FilePicture>(std::move(out)));
}

}  // namespace orvelle::media::sim
