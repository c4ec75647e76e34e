// The main loop of a recording that receives no frames, in real time: it
// wakes every 100 ms and ticks once a second, and must stay idle between
// its waits. Judged against 1% of one core.

#include "common/console.h"
#include "record/session.h"
#include "record/steady_session_clock.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace orvelle::clips {
namespace {

const WindowHandle kWindow = reinterpret_cast<WindowHandle>(0x4242);

struct StillWindow final : WindowSystem {
  void search(GameWindowSearch& s) override {
    s.found = true;
    s.window = kWindow;
  }
  bool exists(WindowHandle) override { return true; }
  bool minimised(WindowHandle) override { return false; }
  std::optional<Size> client_size(WindowHandle) override { return Size{1920, 1080}; }
  std::string title(WindowHandle) override { return "Game"; }
};

struct NoFrames final : RunningCapture, CaptureCounters, CaptureFactory {
  Size frame_size() const override { return {1920, 1080}; }
  std::uint32_t bitrate() const override { return 10'000'000; }
  std::string codec() const override { return "none"; }
  std::uint64_t in_flight() const override { return 0; }
  void close() override {}
  CounterReadings read() const override { return {}; }
  std::uint64_t size_skip() const override { return 0; }
  Result<std::unique_ptr<RunningCapture>> start() override { return std::make_unique<NoFrames>(); }
};

struct NoSaves final : SaveLauncher {
  void launch(SaveJob) override {}
};

struct IdlePlatform final : RecordPlatform {
  SessionClock& clock() override { return steady; }
  WindowSystem& windows() override { return window; }
  Status start_runtime() override { return {}; }
  void lower_priority() override {}
  Result<GpuDescription> open_gpu(WindowHandle) override { return GpuDescription{"none", 0}; }
  Status make_capture_device() override { return {}; }
  RingPlatform ring_platform() override {
    return {[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }};
  }
  CaptureRoad prepare_capture(const RecorderOptions&, WindowHandle, const Recording&) override {
    return {std::make_unique<NoFrames>(), std::make_shared<NoFrames>()};
  }
  Result<SoundTracks> start_sound(const RecorderOptions&, const Recording&) override { return SoundTracks{}; }
  void start_command_reader(Sender<Command>, SharedOutput, StopFlag) override {}
  SaveLauncher& saves() override { return none; }

  SteadySessionClock steady;
  StillWindow window;
  NoSaves none;
};

double process_cpu_seconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void BM_IdleRecordingFor5s(benchmark::State& state) {
  auto options = std::get<RecorderOptions>(
      parse_recorder_options({"--title", "Game", "--duration", "5", "--json"}));
  double cpu = 0, wall = 0;
  set_line_writer([](Stream, std::string_view) {});
  for (auto _ : state) {
    IdlePlatform platform;
    const double cpu_before = process_cpu_seconds();
    const auto wall_before = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(run_record_session(options, platform));
    cpu += process_cpu_seconds() - cpu_before;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
  }
  set_line_writer(nullptr);
  state.counters["cpu_ms"] = cpu * 1e3 / double(state.iterations());
  state.counters["cpu_of_one_core_pct"] = 100.0 * cpu / wall;
  state.counters["reference_pct"] = 1.0;
}
BENCHMARK(BM_IdleRecordingFor5s)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orvelle::clips
