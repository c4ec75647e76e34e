#include "sim/ffmpeg/aac_transform.h"

#include "mp4/clip_job.h"
#include "sim/ffmpeg/av_error.h"
#include "sim/ffmpeg/clip_muxer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

namespace orvelle::clips::sim {
namespace {

constexpr std::int64_t kBitrate = 160'000;  // 20,000 bytes a second
constexpr std::size_t kKeptAnchors = 16;

bool supported(std::uint32_t rate) { return rate == 48'000 || rate == 44'100; }

}  // namespace

LibavAac::~LibavAac() {
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&codec_);
}

Status LibavAac::set_input_type(std::uint32_t rate) {
  if (!supported(rate) || (output_rate_ != 0 && rate != output_rate_))
    return error(fail("the AAC encoder takes 16-bit stereo at 44.1 or 48 kHz", hresult::kInvalidMediaType));
  input_rate_ = rate;
  return {};
}

Status LibavAac::set_output_type(std::uint32_t rate) {
  if (!supported(rate) || (input_rate_ != 0 && rate != input_rate_))
    return error(fail("the AAC encoder makes stereo at 44.1 or 48 kHz", hresult::kInvalidMediaType));
  output_rate_ = rate;
  return open();
}

Status LibavAac::open() {
  silence_ffmpeg();
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
  if (!codec) return error(fail("no AAC encoder", hresult::kNotFound));
  avcodec_free_context(&codec_);
  codec_ = avcodec_alloc_context3(codec);
  frame_ = frame_ ? frame_ : av_frame_alloc();
  packet_ = packet_ ? packet_ : av_packet_alloc();
  if (!codec_ || !frame_ || !packet_) return error(fail("out of memory", hresult::kOutOfMemory));
  codec_->sample_fmt = AV_SAMPLE_FMT_FLTP;
  codec_->sample_rate = static_cast<int>(output_rate_);
  codec_->time_base = AVRational{1, static_cast<int>(output_rate_)};
  av_channel_layout_default(&codec_->ch_layout, 2);
  codec_->bit_rate = kBitrate;
  codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;  // the config stays apart from the frames
  if (int e = avcodec_open2(codec_, codec, nullptr); e < 0) return error(av_error(e));
  return {};
}

Result<SharedSoundType> LibavAac::current_output_type() {
  if (!codec_) return error(fail("no output type set", hresult::kInvalidMediaType));
  SoundTrack track{output_rate_, 2, static_cast<std::uint32_t>(kBitrate),
                   std::vector<std::uint8_t>(codec_->extradata, codec_->extradata + codec_->extradata_size)};
  return SharedSoundType(std::make_shared<SimSoundType>(std::move(track)));
}

Status LibavAac::begin_streaming() {
  if (!codec_ || input_rate_ == 0) return error(fail("the types are not set", hresult::kInvalidMediaType));
  return {};
}

Ticks LibavAac::time_of(std::int64_t sample) const {
  // Before the first block (the priming frame) the first anchor still serves.
  const Anchor* a = &anchors_.front();
  for (const Anchor& x : anchors_)
    if (x.sample <= sample) a = &x;
  return a->time + Ticks{(sample - a->sample) * 10'000'000 / output_rate_};
}

Status LibavAac::process_input(std::span<const std::int16_t> values, Ticks time, Ticks) {
  if (!codec_) return error(fail("the types are not set", hresult::kInvalidMediaType));
  anchors_.push_back({sent_ + static_cast<std::int64_t>(left_.size()), time});
  if (anchors_.size() > kKeptAnchors) anchors_.pop_front();
  for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
    left_.push_back(static_cast<float>(values[i]) / 32768.0f);
    right_.push_back(static_cast<float>(values[i + 1]) / 32768.0f);
  }
  return send_frames();
}

Status LibavAac::send_frames() {
  const auto size = static_cast<std::size_t>(codec_->frame_size);
  std::size_t at = 0;
  for (; left_.size() - at >= size; at += size) {
    frame_->nb_samples = static_cast<int>(size);
    frame_->format = codec_->sample_fmt;
    frame_->sample_rate = codec_->sample_rate;
    if (int e = av_channel_layout_copy(&frame_->ch_layout, &codec_->ch_layout); e < 0) return error(av_error(e));
    if (int e = av_frame_get_buffer(frame_, 0); e < 0) return error(av_error(e));
    std::copy_n(left_.begin() + static_cast<std::ptrdiff_t>(at), size, reinterpret_cast<float*>(frame_->data[0]));
    std::copy_n(right_.begin() + static_cast<std::ptrdiff_t>(at), size, reinterpret_cast<float*>(frame_->data[1]));
    frame_->pts = sent_;
    sent_ += static_cast<std::int64_t>(size);
    const int e = avcodec_send_frame(codec_, frame_);
    av_frame_unref(frame_);
    if (e < 0) return error(av_error(e));
  }
  left_.erase(left_.begin(), left_.begin() + static_cast<std::ptrdiff_t>(at));
  right_.erase(right_.begin(), right_.begin() + static_cast<std::ptrdiff_t>(at));
  return {};
}

Result<AacDraw> LibavAac::process_output(bool, std::uint32_t, AacFrameSink& sink) {
  if (!codec_) return error(fail("the types are not set", hresult::kInvalidMediaType));
  const int e = avcodec_receive_packet(codec_, packet_);
  if (e == AVERROR(EAGAIN)) return AacDraw::need_more_input;
  if (e < 0) return error(av_error(e));
  const Ticks duration{packet_->duration * 10'000'000 / output_rate_};
  sink.take({packet_->data, static_cast<std::size_t>(packet_->size)}, time_of(packet_->pts), duration);
  av_packet_unref(packet_);
  return AacDraw::frame;
}

}  // namespace orvelle::clips::sim
