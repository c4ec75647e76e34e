#pragma once
// The judge of the simulation's clips: what Debian's ffprobe and ffmpeg, an
// oracle nobody here wrote, say of a file: the container's facts, every
// picture's packet, and the capture-time code each decoded picture shows.

#include "common/geometry.h"
#include "common/media_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::clips::sim {

struct JudgedStream {
  std::string type;   // "video", "audio"
  std::string codec;  // "h264", "aac"
  Size size;          // pictures only
  std::uint32_t sample_rate = 0, channels = 0;  // sound only
  bool enabled = false;  // the track is enabled: ffprobe's "default"
  double duration = 0;   // seconds, the stream's own
};

struct JudgedPacket {
  Ticks time{0};  // presentation time on the clip's timeline
  Ticks decode_time{0};
  Ticks duration{0};
  bool key = false;
};

struct JudgedPicture {
  Ticks time{0};
  bool key = false;
  std::optional<std::uint64_t> code;  // nothing when the grid is unreadable
};

struct JudgedClip {
  bool accepted = false;  // ffprobe read the file without an error
  std::string complaint;  // what ffprobe or ffmpeg said when not
  double duration = 0;    // seconds, the container's
  std::uint64_t bytes = 0;
  std::vector<JudgedStream> streams;
  std::vector<JudgedPacket> packets;    // of the first picture stream, in file order
  std::vector<JudgedPicture> pictures;  // decoded, in presentation order
};

// Runs ffprobe, then ffmpeg to decode every picture; the pictures are read
// one at a time, so a clip of any length fits.
JudgedClip judge_clip(const std::string& path);

// One sound track decoded: its first channel, frame by frame as ffmpeg
// decodes it, each frame at the time the container gives it.
struct JudgedSound {
  bool accepted = false;
  std::uint32_t rate = 0;
  std::vector<float> samples;          // channel 0 of every frame, in order
  std::vector<Ticks> frame_times;      // the clip time of each frame
  std::vector<std::size_t> frame_at;   // where each frame's samples begin
  Ticks time_of(std::size_t sample) const;
};
// sound_track counts the sound tracks from 0.
JudgedSound judge_sound(const std::string& path, std::size_t sound_track);

// The text a shell reads back as path.
std::string shell_quoted(const std::string& text);

}  // namespace orvelle::clips::sim
