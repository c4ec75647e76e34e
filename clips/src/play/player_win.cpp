#include "play/player_win.h"

#include "common/win/error.h"
#include "play/frames_file_win.h"
#include "play/media_reader_win.h"
#include "play/play_time_win.h"
#include "play/player.h"
#include "play/render_win.h"

#include <mfapi.h>
#include <objbase.h>

#include <cstdio>

namespace orvelle::clips {
namespace {

class WinPlayerPlatform final : public PlayerPlatform {
 public:
  Status start_media() override {
    (void)CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    return win::checked(MFStartup(MF_VERSION, MFSTARTUP_FULL));
  }
  PlayTime& time() override { return time_; }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) override {
    return open_video_reader_win(path);
  }
  Result<std::optional<std::unique_ptr<SoundReader>>> open_sound(const std::string& path) override {
    return open_sound_reader_win(path);
  }
  Result<std::unique_ptr<SoundDevice>> open_device(const SoundFormat& format) override {
    return open_render_client(format);
  }
  std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file(std::uint64_t bytes) override {
    return create_frames_file_win(bytes);
  }
  std::FILE* input() override { return stdin; }

 private:
  CounterPlayTime time_;
};

}  // namespace

int run_player_win(const PlayerOptions& options) {
  // Lives to the end of the process: a thread a start-up failure leaves
  // behind may still be letting go of its reader.
  static WinPlayerPlatform platform;
  return run_player(options, platform);
}

}  // namespace orvelle::clips
