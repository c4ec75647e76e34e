#include "sim/ffmpeg/x264_encoder.h"

#include "sim/ffmpeg/av_error.h"

#include <fmt/format.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

namespace orvelle::clips::sim {
namespace {

// Media time is the packets' time base: times go in and come out unchanged.
constexpr AVRational kMediaTimeBase{1, 10'000'000};

// x264's own words for the settings the recorder gives the hardware
// encoder: headers before every key frame, key frames only every group,
// and constant bitrate padded to the rate, as a hardware encoder keeps it.
std::string x264_params(std::uint32_t group) {
  return fmt::format("repeat-headers=1:scenecut=0:keyint={0}:min-keyint={0}:nal-hrd=cbr", group);
}

}  // namespace

X264Encoder::~X264Encoder() {
  av_packet_free(&packet_);
  avcodec_free_context(&context_);
}

Result<std::unique_ptr<X264Encoder>> X264Encoder::create(const EncoderSettings& s) {
  silence_ffmpeg();
  const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
  if (!codec) return error(fail("no H.264 encoder", hresult::kNotFound));
  std::unique_ptr<X264Encoder> e(new X264Encoder);
  e->size_ = s.size;
  e->context_ = avcodec_alloc_context3(codec);
  e->packet_ = av_packet_alloc();
  if (!e->context_ || !e->packet_) return error(fail("out of memory", hresult::kOutOfMemory));

  AVCodecContext* c = e->context_;
  const std::uint32_t fps = s.fps == 0 ? 1 : s.fps;
  c->width = static_cast<int>(s.size.width);
  c->height = static_cast<int>(s.size.height);
  c->pix_fmt = AV_PIX_FMT_NV12;
  c->time_base = kMediaTimeBase;
  c->framerate = {static_cast<int>(fps), 1};
  c->gop_size = static_cast<int>(2 * fps);
  c->max_b_frames = 0;
  c->bit_rate = s.bitrate;
  c->rc_min_rate = s.bitrate;
  c->rc_max_rate = s.bitrate;
  c->rc_buffer_size = static_cast<int>(s.bitrate);  // one second
  c->thread_count = s.threads;
  c->color_range = AVCOL_RANGE_MPEG;
  c->colorspace = AVCOL_SPC_BT709;
  c->color_primaries = AVCOL_PRI_BT709;
  c->color_trc = AVCOL_TRC_BT709;

  AVDictionary* options = nullptr;
  av_dict_set(&options, "preset", s.preset.c_str(), 0);
  av_dict_set(&options, "tune", "zerolatency", 0);
  av_dict_set(&options, "profile", "high", 0);
  av_dict_set(&options, "x264-params", x264_params(2 * fps).c_str(), 0);
  int opened = avcodec_open2(c, codec, &options);
  av_dict_free(&options);
  if (opened < 0) return error(av_error(opened));
  return e;
}

Status X264Encoder::send(const VideoPicture& picture, Ticks time, Ticks duration) {
  if (!picture || picture.format() != PictureFormat::nv12 || picture.size() != size_)
    return error(fail(fmt::format("the encoder takes NV12 pictures of {}x{}", size_.width, size_.height),
                      hresult::kInvalidMediaType));
  // The encoder takes its own reference to the picture's buffers.
  AVFrame* frame = av_frame_clone(picture.frame());
  if (!frame) return error(fail("out of memory", hresult::kOutOfMemory));
  frame->pts = time.count();
  frame->pict_type = AV_PICTURE_TYPE_NONE;
  int sent = avcodec_send_frame(context_, frame);
  av_frame_free(&frame);
  if (sent < 0) return error(av_error(sent));
  durations_.emplace_back(time, duration);
  return {};
}

Status X264Encoder::drain() {
  int sent = avcodec_send_frame(context_, nullptr);
  if (sent < 0 && sent != AVERROR_EOF) return error(av_error(sent));
  return {};
}

Result<std::optional<EncodedView>> X264Encoder::receive() {
  av_packet_unref(packet_);
  int got = avcodec_receive_packet(context_, packet_);
  if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return std::nullopt;
  if (got < 0) return error(av_error(got));
  EncodedView view{{packet_->data, static_cast<std::size_t>(packet_->size)},
                   Ticks{packet_->pts}, Ticks{0}, (packet_->flags & AV_PKT_FLAG_KEY) != 0};
  while (!durations_.empty() && durations_.front().first < view.time) durations_.pop_front();
  if (!durations_.empty() && durations_.front().first == view.time) {
    view.duration = durations_.front().second;
    durations_.pop_front();
  }
  return view;
}

}  // namespace orvelle::clips::sim
