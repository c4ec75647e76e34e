#pragma once
// The clip writer's muxer in the simulation: the streams are declared one by
// one as the writer's plan adds them, and the file is laid out with all of
// them once the plan begins, which is when libavformat wants them.

#include "mp4/clip_job.h"
#include "mp4/muxer.h"
#include "sim/ffmpeg/mp4_muxer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::clips::sim {

// A sound track's type as the simulation's sound encoder makes it.
class SimSoundType final : public SoundTrackType {
 public:
  explicit SimSoundType(SoundTrack track) : track(std::move(track)) {}
  SoundTrack track;
};

class ClipMuxer final : public Muxer {
 public:
  // Creates the file at path at once, as the platform's writer does, so a
  // folder that is missing or a file that may not be written fails here.
  static Result<std::unique_ptr<Muxer>> open(std::string_view path);

  Result<std::uint32_t> add_video_stream(const VideoTrackFormat& format) override;
  Result<std::uint32_t> add_sound_stream(const SoundTrackType& type) override;
  Status begin() override;
  Status write_sample(std::uint32_t stream, const Packet& sample) override;
  Status finalize() override;

 private:
  explicit ClipMuxer(std::string path) : path_(std::move(path)) {}

  std::string path_;
  std::optional<VideoTrack> video_;
  std::vector<SoundTrack> sound_;
  std::unique_ptr<Mp4Muxer> file_;
};

}  // namespace orvelle::clips::sim
