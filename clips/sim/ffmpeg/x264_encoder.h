#pragma once
// The simulation's H.264 encoder: libx264 through libavcodec, set up as the
// recorder sets up the platform's hardware encoder: constant bitrate, a
// group of 2 × fps pictures, no B-pictures, low latency. Its output is
// Annex B with the sequence header on every key frame, and each packet
// keeps the time and duration its picture went in with.

#include "common/media_time.h"
#include "common/win_error.h"
#include "sim/ffmpeg/video_picture.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>

struct AVCodecContext;
struct AVPacket;

namespace orvelle::clips::sim {

struct EncoderSettings {
  Size size;  // even
  std::uint32_t fps = 60;
  std::uint32_t bitrate = 10'000'000;  // bit/s
  std::string preset = "superfast";    // libx264's speed against size
  int threads = 4;
};

// One encoded picture, borrowed from the encoder until its next call.
struct EncodedView {
  std::span<const std::uint8_t> bytes;
  Ticks time{0};
  Ticks duration{0};
  bool key = false;
};

class X264Encoder {
 public:
  static Result<std::unique_ptr<X264Encoder>> create(const EncoderSettings& settings);
  ~X264Encoder();
  X264Encoder(const X264Encoder&) = delete;
  X264Encoder& operator=(const X264Encoder&) = delete;

  // An NV12 picture of the encoder's size.
  Status send(const VideoPicture& picture, Ticks time, Ticks duration);
  // No more pictures: what the encoder still holds comes out.
  Status drain();
  // The next encoded picture, or nothing until more input comes (or, after
  // drain, ever again).
  Result<std::optional<EncodedView>> receive();

 private:
  X264Encoder() = default;

  AVCodecContext* context_ = nullptr;
  AVPacket* packet_ = nullptr;
  Size size_;
  // The durations of the pictures inside, by time: without B-pictures they
  // come out in the order they went in.
  std::deque<std::pair<Ticks, Ticks>> durations_;
};

}  // namespace orvelle::clips::sim
