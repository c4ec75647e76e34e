#pragma once
// One MP4 file being written from encoded packets as they are: the clip
// writer's plan talks to the platform's muxer through this. Streams are
// numbered in the order they were added.

#include "common/media_time.h"
#include "common/win_error.h"
#include "mp4/clip_job.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace orvelle::clips {

// The H.264 track, passed through: the stream's type and the samples' type
// are one and the same.
struct VideoTrackFormat {
  std::uint32_t width = 0, height = 0;
  std::uint32_t fps = 60;
  std::uint32_t bitrate = 0;
  std::span<const std::uint8_t> sequence_header;  // 00 00 00 01 SPS 00 00 00 01 PPS
};

class Muxer {
 public:
  virtual ~Muxer() = default;
  virtual Result<std::uint32_t> add_video_stream(const VideoTrackFormat& format) = 0;
  virtual Result<std::uint32_t> add_sound_stream(const SoundTrackType& type) = 0;
  virtual Status begin() = 0;
  // The sample's time and duration are the file's; key marks a clean point.
  // The bytes stay shared: a muxer that keeps the sample past the call keeps
  // its reference, never a copy.
  virtual Status write_sample(std::uint32_t stream, const Packet& sample) = 0;
  // Completes the file. Letting go of a muxer that was not finalized leaves
  // an incomplete file behind.
  virtual Status finalize() = 0;
};

}  // namespace orvelle::clips
