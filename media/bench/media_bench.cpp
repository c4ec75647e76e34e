// The bridge's costs beside the limits they are judged against:
// - one refresh of the published state over 20 sessions, in the core
//   (fake platform), against 1 ms of CPU;
// - the simulation with five sessions and no events, idle between ticks
//   for a while (60 s unless given), against 0.5 % of one core, with its
//   wake-ups (voluntary context switches) beside the ticks' own count.

#include "bridge/refresh.h"
#include "support/fake_platform.h"
#include "support/lines.h"
#include "tools/e2e/process.h"

#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace orvelle;
using namespace orvelle::media;
using namespace std::chrono_literals;

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void refresh_over_twenty() {
  testing::FakePlatform platform;
  testing::FakeClock clock;
  for (int i = 0; i < 20; ++i) {
    auto s = platform.add(i % 2 ? "chrome" : "Spotify.exe");
    s->status = i == 7 ? kPlaying : kPaused;
    s->props.title = "Track " + std::to_string(i);
  }
  platform.titles.assign(40, "Some window - Browser");
  testing::CapturedLines lines;
  auto [sender, receiver] = make_channel<LoopMessage>();
  MediaConfig config;
  config.source = "music";  // the filter that asks every browser for its site
  RunState state(config, platform.manager, sender, platform, clock);
  for (bool force : {false, true}) {
    constexpr int kRounds = 2000;
    refresh_and_publish(state, force);
    double start = cpu_seconds();
    for (int i = 0; i < kRounds; ++i) refresh_and_publish(state, force);
    double per = (cpu_seconds() - start) / kRounds;
    std::printf("refresh over 20 sessions (%s, source \"music\"): %.1f us CPU   limit 1000 us\n",
                force ? "forced" : "unforced", per * 1e6);
  }
}

void idle_simulation(int seconds) {
  auto dir = std::filesystem::temp_directory_path() / ("media-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto path = (dir / "five.json").string();
  std::ofstream(path) << R"({"sessions": [
    {"app": "Spotify.exe", "title": "A", "status": "playing", "position": 1000, "duration": 200000},
    {"app": "chrome", "title": "B", "status": "paused"}, {"app": "msedge", "title": "C", "status": "paused"},
    {"app": "vlc.exe", "title": "D", "status": "stopped"}, {"app": "foobar2000", "title": "E", "status": "paused"}],
    "windows": ["B - YouTube - Browser", "Desktop"]})";
  {
    e2e::Background sim({ORVELLE_MEDIA_SIM, "--scenario", path});
    auto ready = sim.next_line(5000ms);
    auto state = sim.next_line(5000ms);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    sim.close_input();
    if (sim.wait(10s) != 0) std::printf("the simulation did not end well\n");
    if (!ready || !state) std::printf("the simulation did not start\n");
  }
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::printf("idle simulation, 5 sessions, %d s: %.3f s CPU = %.3f %% of one core   limit 0.5 %%\n",
              seconds, cpu, 100.0 * cpu / seconds);
  std::printf("  wake-ups (voluntary switches): %ld   the ticks alone: %d\n", usage.ru_nvcsw,
              seconds / 2);
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  refresh_over_twenty();
  // Other benchmarks' options may be passed too; only a number counts here.
  int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  idle_simulation(seconds > 0 ? seconds : 60);
  return 0;
}
