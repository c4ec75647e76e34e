#pragma once
// One stream of a clip, demuxed by libavformat and decoded by libavcodec:
// what the platform's source reader does for one selected stream. Seeks
// land on the key frame before the time, as the platform's do.

#include "common/win_error.h"

#include <cstdint>
#include <optional>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

namespace orvelle::clips::sim {

enum class StreamKind { video, sound };

class AvStreamDecoder {
 public:
  // Nothing when the clip has no stream of that kind.
  static Result<std::optional<AvStreamDecoder>> open(const std::string& path, StreamKind kind);
  AvStreamDecoder(AvStreamDecoder&& other) noexcept;
  AvStreamDecoder& operator=(AvStreamDecoder&&) = delete;
  ~AvStreamDecoder();

  AVStream* stream() const { return stream_; }
  AVCodecContext* codec() const { return codec_; }
  // The container's duration in 100 ns; nothing when it does not say.
  std::optional<std::uint64_t> duration() const;

  Status seek(std::int64_t time);
  // The next decoded frame (owned by the decoder until the next call), or
  // null at the end of the stream.
  Result<AVFrame*> next_frame();
  // A frame's time and duration in 100 ns.
  std::int64_t frame_time(const AVFrame* frame) const;
  std::optional<std::int64_t> frame_duration(const AVFrame* frame) const;

 private:
  AvStreamDecoder() = default;

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVStream* stream_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  bool draining_ = false;
};

}  // namespace orvelle::clips::sim
