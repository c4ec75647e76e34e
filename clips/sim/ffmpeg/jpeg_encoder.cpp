#include "sim/ffmpeg/jpeg_encoder.h"

#include "sim/ffmpeg/av_error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <limits>
#include <memory>

namespace orvelle::clips::sim {
namespace {

// A quantiser of about the platform's 0.78 quality.
constexpr int kQuantiser = 4;

struct CodecFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

}  // namespace

Result<std::vector<std::uint8_t>> JpegEncoder::encode(std::span<const std::uint8_t> bgra,
                                                      std::uint32_t width, std::uint32_t height,
                                                      BoardSize out) {
  silence_ffmpeg();
  constexpr auto kMax = static_cast<std::uint32_t>(std::numeric_limits<int>::max() / 4);
  if (width == 0 || height == 0 || width > kMax || height > kMax || out.width == 0 ||
      out.height == 0 || out.width > kMax || out.height > kMax ||
      bgra.size() < std::size_t{width} * height * 4)
    return error(fail("the picture cannot be encoded", hresult::kInvalidArg));
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  const int ow = static_cast<int>(out.width), oh = static_cast<int>(out.height);

  std::unique_ptr<SwsContext, SwsFree> sws(sws_getContext(
      w, h, AV_PIX_FMT_BGRA, ow, oh, AV_PIX_FMT_YUVJ420P, SWS_AREA, nullptr, nullptr, nullptr));
  std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
  if (!sws || !frame) return error(fail("no scaler"));
  frame->format = AV_PIX_FMT_YUVJ420P;
  frame->width = ow;
  frame->height = oh;
  if (int e = av_frame_get_buffer(frame.get(), 0); e < 0) return error(av_error(e));
  const std::uint8_t* planes[] = {bgra.data()};
  const int strides[] = {w * 4};
  sws_scale(sws.get(), planes, strides, 0, h, frame->data, frame->linesize);

  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
  if (!codec) return error(fail("no JPEG encoder", hresult::kNotFound));
  std::unique_ptr<AVCodecContext, CodecFree> ctx(avcodec_alloc_context3(codec));
  std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  if (!ctx || !packet) return error(fail("out of memory", hresult::kOutOfMemory));
  ctx->width = ow;
  ctx->height = oh;
  ctx->pix_fmt = AV_PIX_FMT_YUVJ420P;
  ctx->time_base = {1, 25};
  ctx->flags |= AV_CODEC_FLAG_QSCALE;
  ctx->global_quality = FF_QP2LAMBDA * kQuantiser;
  frame->quality = ctx->global_quality;
  if (int e = avcodec_open2(ctx.get(), codec, nullptr); e < 0) return error(av_error(e));
  if (int e = avcodec_send_frame(ctx.get(), frame.get()); e < 0) return error(av_error(e));
  if (int e = avcodec_receive_packet(ctx.get(), packet.get()); e < 0) return error(av_error(e));
  return std::vector<std::uint8_t>(packet->data, packet->data + packet->size);
}

}  // namespace orvelle::clips::sim
