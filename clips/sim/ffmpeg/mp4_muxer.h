#pragma once
// The simulation's MP4 writer: what the platform's sink writer does for a
// clip, done by libavformat. One H.264 stream, passed through as it came
// from the encoder, then up to two AAC streams. The packets' bytes are
// shared with the ring and handed to the muxer by reference, never copied.
// Like the platform's writer it leaves every track enabled; the game-sound
// marking comes after, on the finished file.

#include "common/geometry.h"
#include "common/media_time.h"
#include "common/win_error.h"
#include "ring/ring.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVPacket;

namespace orvelle::clips::sim {

struct VideoTrack {
  Size size;
  std::uint32_t fps = 60;
  std::uint32_t bitrate = 0;
  std::vector<std::uint8_t> sequence_header;  // Annex B: start code, SPS, start code, PPS
};

struct SoundTrack {
  std::uint32_t sample_rate = 48'000;
  std::uint32_t channels = 2;
  std::uint32_t bitrate = 0;
  std::vector<std::uint8_t> config;  // the AAC AudioSpecificConfig
};

class Mp4Muxer {
 public:
  // Creates the file at path. Stream 0 is the picture, 1 and 2 the sound
  // tracks in order.
  static Result<std::unique_ptr<Mp4Muxer>> create(const std::string& path, const VideoTrack& video,
                                                  std::span<const SoundTrack> sound);
  ~Mp4Muxer();
  Mp4Muxer(const Mp4Muxer&) = delete;
  Mp4Muxer& operator=(const Mp4Muxer&) = delete;

  // One sample: the packet's bytes at a time on the clip's timeline (0 at
  // its first picture). Times of one stream must not go back.
  Status write(std::size_t stream, const Packet& packet, Ticks time, Ticks duration, bool key);
  // Writes the index and closes the file; the muxer is done either way.
  Status finish();

 private:
  Mp4Muxer() = default;
  Status add_video(const VideoTrack& video);
  Status add_sound(const SoundTrack& sound);
  void close();

  AVFormatContext* format_ = nullptr;
  AVPacket* packet_ = nullptr;
  bool file_open_ = false;
};

// Marks the finished clip's game-sound track (mp4/marking.h) in the file at path.
Status mark_sound_tracks(const std::string& path);

}  // namespace orvelle::clips::sim
