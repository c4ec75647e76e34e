#include "sim/player_platform.h"

#include "sim/ffmpeg/av_sound_reader.h"
#include "sim/ffmpeg/av_video_reader.h"
#include "sim/posix_frames_file.h"
#include "sim/sim_sound_device.h"

#include <cstdio>

namespace orvelle::clips::sim {
namespace {

class SimPlayerPlatform final : public PlayerPlatform {
 public:
  explicit SimPlayerPlatform(std::string sound_log) : sound_log_(std::move(sound_log)) {}
  Status start_media() override { return {}; }
  PlayTime& time() override { return time_; }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) override {
    auto reader = AvVideoReader::open(path);
    if (!reader) return error(reader.error());
    return std::unique_ptr<VideoReader>(std::move(*reader));
  }
  Result<std::optional<std::unique_ptr<SoundReader>>> open_sound(const std::string& path) override {
    return AvSoundReader::open(path);
  }
  Result<std::unique_ptr<SoundDevice>> open_device(const SoundFormat& format) override {
    return SimSoundDevice::open(time_, format, sound_log_);
  }
  std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file(std::uint64_t bytes) override {
    return PosixFramesFile::create(bytes);
  }
  std::FILE* input() override { return stdin; }

 private:
  SteadyPlayTime time_;
  std::string sound_log_;
};

}  // namespace

std::unique_ptr<PlayerPlatform> sim_player_platform(std::string sound_log) {
  return std::make_unique<SimPlayerPlatform>(std::move(sound_log));
}

}  // namespace orvelle::clips::sim
