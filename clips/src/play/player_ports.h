#pragma once
// What the player asks of the platform: the media platform's start, the
// time source, the video and sound readers, the frames file, the playback
// device and standard input. The Windows program answers with Media
// Foundation, WASAPI and a mapped temporary file; the simulation with
// FFmpeg and stand-ins.

#include "common/win_error.h"
#include "play/frames_writer.h"
#include "play/play_time.h"
#include "play/sound_io.h"
#include "play/video_reader.h"

#include <cstdio>
#include <expected>
#include <memory>
#include <optional>
#include <string>

namespace orvelle::clips {

class PlayerPlatform {
 public:
  virtual ~PlayerPlatform() = default;
  // Once, on the main thread, before anything else.
  virtual Status start_media() = 0;
  virtual PlayTime& time() = 0;
  // Each reader on the thread that uses it.
  virtual Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) = 0;
  // Nothing when the clip has no sound stream.
  virtual Result<std::optional<std::unique_ptr<SoundReader>>> open_sound(const std::string& path) = 0;
  virtual Result<std::unique_ptr<SoundDevice>> open_device(const SoundFormat& format) = 0;
  // bytes long, zeroed; the error is the whole text ("the frames file: …").
  virtual std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file(std::uint64_t bytes) = 0;
  virtual std::FILE* input() = 0;
};

}  // namespace orvelle::clips
