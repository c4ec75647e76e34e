// The bridge's costs beside the limits they are judged against:
// - one refresh of the published state over 20 sessions, in the core
//   (fake platform), against 1 ms of CPU;
// - the content box and square of a 3000 x 3000 cover against 5 ms, and
//   what a repeated cover costs;
// - the simulation with five sessions and no events, idle between ticks
//   for a while (60 s unless given), against 0.5 % of one core, with its
//   wake-ups (voluntary context switches) beside the ticks' own count.

#include "bridge/art.h"
#include "bridge/refresh.h"
#include "support/fake_platform.h"
#include "support/lines.h"
#include "tools/e2e/process.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
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

// A 3000 x 3000 cover, letterboxed: the analysis copy's content box and the
// square's geometry, beside the 5 ms they may take.
void cover_geometry() {
  const PictureSize cover{3000, 3000};
  PictureSize a = analysis_size(cover);
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(a.width) * a.height * 4, 0);
  for (std::uint32_t y = 40; y < a.height - 40; ++y)
    for (std::uint32_t x = 0; x < a.width; ++x) {
      std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * a.width + x) * 4];
      p[0] = static_cast<std::uint8_t>(x), p[1] = 90, p[2] = static_cast<std::uint8_t>(y), p[3] = 255;
    }
  constexpr int kRounds = 500;
  std::uint32_t sink = 0;
  double start = cpu_seconds();
  for (int i = 0; i < kRounds; ++i) {
    ContentBox b = find_content_box(rgba, a.width, a.height);
    sink += art_cut(cover, b, 512).bounds.x;
  }
  double per = (cpu_seconds() - start) / kRounds;
  std::printf("content box and square of a 3000 x 3000 cover: %.3f ms CPU   limit 5 ms  (%u)\n",
              per * 1e3, sink % 2);
}

// A cover sent again: what the second time costs.
void repeated_cover() {
  struct Counting : Picture {
    int* decodes;
    explicit Counting(int* d) : decodes(d) {}
    Result<PictureSize> size() override { return PictureSize{600, 600}; }
    Result<std::vector<std::uint8_t>> pixels(PictureSize s, std::optional<PictureBounds> b) override {
      ++*decodes;
      std::size_t n = b ? static_cast<std::size_t>(b->width) * b->height : static_cast<std::size_t>(s.width) * s.height;
      return std::vector<std::uint8_t>(n * 4, 77);
    }
  };
  struct Thumb : Thumbnail {
    int decodes = 0;
    Result<std::unique_ptr<Picture>> open() override {
      return std::unique_ptr<Picture>(std::make_unique<Counting>(&decodes));
    }
  };
  testing::FakePlatform platform;
  testing::FakeClock clock;
  testing::CapturedLines lines;
  LoopSender sender;
  RunState state(MediaConfig{}, platform.manager, sender, platform, clock);
  auto thumb = std::make_shared<Thumb>();
  TrackProperties props;
  props.thumbnail = thumb;
  fetch_cover_art(state, props);
  int decodes = thumb->decodes;
  std::size_t sent = lines.out.size();
  fetch_cover_art(state, props);
  std::printf("a repeated cover: %d pixel decodes (the first: %d), %zu art messages and Base64 texts "
              "(the first: %zu)\n",
              thumb->decodes - decodes, decodes, lines.out.size() - sent, sent);
}

// A process's CPU time so far and its voluntary context switches, from /proc.
std::pair<double, long> process_usage(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::vector<std::string> f((std::istream_iterator<std::string>(fields)), std::istream_iterator<std::string>());
  double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  double cpu = f.size() > 12 ? (std::stod(f[11]) + std::stod(f[12])) / ticks : 0;
  long switches = 0;
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("voluntary_ctxt_switches:")) switches = std::stol(line.substr(24));
  return {cpu, switches};
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
  double cpu = 0;
  long woken = 0;
  {
    e2e::Background sim({ORVELLE_MEDIA_SIM, "--scenario", path});
    auto ready = sim.next_line(5000ms);
    auto state = sim.next_line(5000ms);
    std::this_thread::sleep_for(500ms);  // past its start-up
    auto [cpu0, woken0] = process_usage(sim.pid());
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    auto [cpu1, woken1] = process_usage(sim.pid());
    cpu = cpu1 - cpu0, woken = woken1 - woken0;
    sim.close_input();
    if (sim.wait(10s) != 0) std::printf("the simulation did not end well\n");
    if (!ready || !state) std::printf("the simulation did not start\n");
  }
  std::printf("idle simulation, 5 sessions, %d s: %.3f s CPU = %.3f %% of one core   limit 0.5 %%\n",
              seconds, cpu, 100.0 * cpu / seconds);
  std::printf("  wake-ups of the main thread (voluntary switches): %ld   the ticks alone: %d\n", woken,
              seconds / 2);
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  refresh_over_twenty();
  cover_geometry();
  repeated_cover();
  // Other benchmarks' options may be passed too; only a number counts here.
  int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  idle_simulation(seconds > 0 ? seconds : 60);
  return 0;
}
