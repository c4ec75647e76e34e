#include "sim/ffmpeg/av_stream_decoder.h"

#include "common/try.h"
#include "sim/ffmpeg/av_error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace orvelle::clips::sim {
namespace {

constexpr AVRational kTicks = {1, 10'000'000};

}  // namespace

Result<std::optional<AvStreamDecoder>> AvStreamDecoder::open(const std::string& path, StreamKind kind) {
  silence_ffmpeg();
  AvStreamDecoder d;
  if (int rc = avformat_open_input(&d.format_, path.c_str(), nullptr, nullptr); rc < 0) return error(av_error(rc));
  if (int rc = avformat_find_stream_info(d.format_, nullptr); rc < 0) return error(av_error(rc));
  AVMediaType wanted = kind == StreamKind::video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
  for (unsigned i = 0; i < d.format_->nb_streams && !d.stream_; ++i)
    if (d.format_->streams[i]->codecpar->codec_type == wanted) d.stream_ = d.format_->streams[i];
  if (!d.stream_) return std::optional<AvStreamDecoder>();
  // Only the chosen stream is read, as a source reader with one stream selected.
  for (unsigned i = 0; i < d.format_->nb_streams; ++i)
    if (d.format_->streams[i] != d.stream_) d.format_->streams[i]->discard = AVDISCARD_ALL;
  const AVCodec* codec = avcodec_find_decoder(d.stream_->codecpar->codec_id);
  if (!codec) return error(fail("no decoder for the clip's stream", hresult::kNotFound));
  d.codec_ = avcodec_alloc_context3(codec);
  if (!d.codec_) return error(fail("no decoder context", hresult::kOutOfMemory));
  if (int rc = avcodec_parameters_to_context(d.codec_, d.stream_->codecpar); rc < 0) return error(av_error(rc));
  d.codec_->pkt_timebase = d.stream_->time_base;
  if (kind == StreamKind::video) d.codec_->thread_count = 0;  // as many as it likes
  if (int rc = avcodec_open2(d.codec_, codec, nullptr); rc < 0) return error(av_error(rc));
  d.packet_ = av_packet_alloc();
  d.frame_ = av_frame_alloc();
  if (!d.packet_ || !d.frame_) return error(fail("no decoder frame", hresult::kOutOfMemory));
  return std::optional<AvStreamDecoder>(std::move(d));
}

AvStreamDecoder::AvStreamDecoder(AvStreamDecoder&& o) noexcept
    : format_(std::exchange(o.format_, nullptr)), codec_(std::exchange(o.codec_, nullptr)),
      stream_(std::exchange(o.stream_, nullptr)), packet_(std::exchange(o.packet_, nullptr)),
      frame_(std::exchange(o.frame_, nullptr)), draining_(o.draining_) {}

AvStreamDecoder::~AvStreamDecoder() {
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  if (format_) avformat_close_input(&format_);
}

std::optional<std::uint64_t> AvStreamDecoder::duration() const {
  if (format_->duration <= 0) return std::nullopt;
  return static_cast<std::uint64_t>(av_rescale_q(format_->duration, AV_TIME_BASE_Q, kTicks));
}

Status AvStreamDecoder::seek(std::int64_t time) {
  std::int64_t ts = av_rescale_q(time, kTicks, stream_->time_base);
  if (int rc = av_seek_frame(format_, stream_->index, ts, AVSEEK_FLAG_BACKWARD); rc < 0) {
    // Before the first key frame there is none before the time: the start.
    if (int again = av_seek_frame(format_, stream_->index, 0, AVSEEK_FLAG_BACKWARD); again < 0)
      return error(av_error(rc));
  }
  avcodec_flush_buffers(codec_);
  draining_ = false;
  return {};
}

Result<AVFrame*> AvStreamDecoder::next_frame() {
  for (;;) {
    int rc = avcodec_receive_frame(codec_, frame_);
    if (rc == 0) return frame_;
    if (rc == AVERROR_EOF) return nullptr;
    if (rc != AVERROR(EAGAIN)) return error(av_error(rc));
    if (draining_) return nullptr;
    rc = av_read_frame(format_, packet_);
    if (rc == AVERROR_EOF) {
      draining_ = true;
      if (int sent = avcodec_send_packet(codec_, nullptr); sent < 0 && sent != AVERROR_EOF)
        return error(av_error(sent));
      continue;
    }
    if (rc < 0) return error(av_error(rc));
    if (packet_->stream_index == stream_->index) {
      int sent = avcodec_send_packet(codec_, packet_);
      av_packet_unref(packet_);
      // A damaged packet is skipped, as a decoder on the platform skips it.
      if (sent < 0 && sent != AVERROR_INVALIDDATA) return error(av_error(sent));
    } else {
      av_packet_unref(packet_);
    }
  }
}

std::int64_t AvStreamDecoder::frame_time(const AVFrame* frame) const {
  std::int64_t pts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
  if (pts == AV_NOPTS_VALUE) return 0;
  return av_rescale_q(pts, stream_->time_base, kTicks);
}

std::optional<std::int64_t> AvStreamDecoder::frame_duration(const AVFrame* frame) const {
  if (frame->pkt_duration <= 0) return std::nullopt;
  return av_rescale_q(frame->pkt_duration, stream_->time_base, kTicks);
}

}  // namespace orvelle::clips::sim
