#include "sim/record_platform.h"

#include "mp4/clip_writer.h"
#include "record/sound_start.h"
#include "record/stats_counters.h"
#include "record/steady_session_clock.h"
#include "record/writer_threads.h"
#include "sim/ffmpeg/av_error.h"
#include "sim/ffmpeg/clip_muxer.h"
#include "sim/posix_clip_files.h"
#include "sim/sim_capture.h"
#include "sim/sim_sound.h"

#include <chrono>
#include <thread>

namespace orvelle::clips::sim {
namespace {

// The clip writer's platform for one save.
class SimClips final : public ClipPlatform {
 public:
  Result<std::unique_ptr<Muxer>> open_muxer(std::string_view path) override {
    return ClipMuxer::open(path);
  }
  ClipFiles& files() override { return files_; }
  void sleep_for(Ticks wait) override { std::this_thread::sleep_for(wait); }

 private:
  PosixClipFiles files_;
};

void write_sim_clip(SaveJob job) {
  SimClips platform;
  write_clip(std::move(job), platform);
}

Ticks file_time_now() {
  return kUnixEpochInFileTime + std::chrono::duration_cast<Ticks>(
                                    std::chrono::system_clock::now().time_since_epoch());
}

class SimRecordPlatform final : public RecordPlatform {
 public:
  explicit SimRecordPlatform(const Scenario& scenario)
      : scenario_(scenario), window_(scenario), start_(game_clock_.now()),
        windows_(window_, game_clock_, start_) {}

  SessionClock& clock() override { return clock_; }
  WindowSystem& windows() override { return windows_; }
  Status start_runtime() override {
    silence_ffmpeg();
    return {};
  }
  void lower_priority() override {}
  Result<GpuDescription> open_gpu(WindowHandle) override {
    return GpuDescription{std::string(kSimAdapter), 0};
  }
  Status make_capture_device() override { return {}; }
  RingPlatform ring_platform() override {
    return {file_time_now, [this](WindowHandle window) { return windows_.minimised(window); }};
  }

  CaptureRoad prepare_capture(const RecorderOptions& options, WindowHandle,
                              const Recording& recording) override {
    auto stats = std::make_shared<CaptureStats>();
    return {std::make_unique<SimCaptureFactory>(
                SimCaptureSetup{options, scenario_, window_, windows_, game_clock_, start_,
                                recording.ring, stats, recording.output}),
            counters_of(stats)};
  }

  Result<SoundTracks> start_sound(const RecorderOptions& options, const Recording& recording) override {
    return start_recording_sound(options, recording, sim_sound_platform(scenario_, game_clock_, start_));
  }

  void start_command_reader(Sender<Command> commands, SharedOutput output,
                            StopFlag stop_flag) override {
    start_stdin_commands(std::move(commands), std::move(output), std::move(stop_flag));
  }

  SaveLauncher& saves() override { return saves_; }

 private:
  const Scenario& scenario_;
  ScriptedWindow window_;
  SteadyClock game_clock_;
  SteadySessionClock clock_;
  Ticks start_;
  SimWindows windows_;
  WriterThreads saves_{write_sim_clip};
};

}  // namespace

std::unique_ptr<RecordPlatform> sim_record_platform(const Scenario& scenario) {
  return std::make_unique<SimRecordPlatform>(scenario);
}

}  // namespace orvelle::clips::sim
