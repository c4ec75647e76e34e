// The player's whole road in the simulation, in real time: a 1080p60 clip
// played at its own size while this process follows the frames file as the
// client does. Figures: the share of pictures published later than one
// frame interval after their time (under 1%), and the player's CPU time
// per published picture beside ffmpeg's own CPU time per picture decoding
// and converting the same clip to the same pixel format.
// Plain main: each figure comes from one long run, not from repetitions.

#include "sim/tests/event_lines.h"
#include "support/frames_reader.h"
#include "sim/bench/proc_stats.h"
#include "support/temp_folder.h"
#include "tools/e2e/process.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace orvelle::clips::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kSeconds = 20;
constexpr double kInterval = 1.0 / 60;

// ffmpeg's user and system CPU seconds for decoding the clip to BGR0.
double ffmpeg_cpu(const std::string& clip) {
  std::string cmd = "ffmpeg -hide_banner -nostats -benchmark -i '" + clip + "' -an -pix_fmt bgr0 -f null - 2>&1";
  FILE* out = popen(cmd.c_str(), "r");
  if (!out) return 0;
  char line[512];
  double utime = 0, stime = 0;
  while (std::fgets(line, sizeof line, out)) {
    std::string l(line);
    if (auto u = l.find("utime="); u != std::string::npos) utime = std::stod(l.substr(u + 6));
    if (auto s = l.find("stime="); s != std::string::npos) stime = std::stod(l.substr(s + 6));
  }
  pclose(out);
  return utime + stime;
}

int run() {
  TempFolder dir("orvelle-bench-");
  const std::string clip = dir.file("1080p60.mp4");
  std::printf("making a %d s 1080p60 clip with sound ...\n", kSeconds);
  std::fflush(stdout);
  std::string make = "ffmpeg -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=60 -f lavfi -i "
                     "sine=frequency=440:sample_rate=48000 -t " + std::to_string(kSeconds) +
                     " -c:v libx264 -preset ultrafast -g 120 -pix_fmt yuv420p -c:a aac -ac 2 '" + clip + "'";
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "ffmpeg could not make the clip\n");
    return 1;
  }
  e2e::Background player({ORVELLE_CLIPS_SIM, "--play", clip, "--autoplay", "--width", "1920"});
  std::vector<std::string> lines;
  auto ready = next_event(player, lines, "ready", 30s);
  if (!ready) {
    std::fprintf(stderr, "the player did not get ready\n");
    return 1;
  }
  const std::string map = ready->value("map", "");
  const auto slot_bytes = ready->value("slotBytes", 0u);
  int fd = open(map.c_str(), O_RDWR);
  struct stat st{};
  fstat(fd, &st);
  auto size = static_cast<std::size_t>(st.st_size);
  void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (fd < 0 || view == MAP_FAILED) {
    std::fprintf(stderr, "the frames file could not be mapped\n");
    return 1;
  }
  FramesReader reader{{static_cast<std::uint8_t*>(view), size}};
  (void)slot_bytes;
  struct Seen {
    double wall, time;
  };
  std::vector<Seen> seen;
  const auto start = Clock::now();
  const double cpu_before = cpu_seconds(player.pid());
  while (Clock::now() - start < std::chrono::seconds(kSeconds - 1)) {
    if (auto slot = reader.take())
      seen.push_back({std::chrono::duration<double>(Clock::now() - start).count(), reader.time(*slot)});
    std::this_thread::sleep_for(200us);
  }
  const double cpu = cpu_seconds(player.pid()) - cpu_before;
  player.send(R"({"cmd":"stop"})");
  player.wait(30s);
  munmap(view, size);
  close(fd);
  if (seen.size() < 60) {
    std::fprintf(stderr, "only %zu pictures were published\n", seen.size());
    return 1;
  }
  // The wall clock's offset from the clip's: the smallest of the pictures
  // after the start-up lead, so lateness is measured from the most punctual.
  double offset = 1e9;
  for (const auto& s : seen)
    if (s.time >= 0.5) offset = std::min(offset, s.wall - s.time);
  int late = 0, counted = 0;
  for (const auto& s : seen) {
    if (s.time < 0.5) continue;
    ++counted;
    if (s.wall - s.time - offset > kInterval) ++late;
  }
  const double expected = (seen.back().time - seen.front().time) * 60 + 1;
  const double reference = ffmpeg_cpu(clip) / (kSeconds * 60.0);
  std::printf("1080p60 playback over %.1f s: %d pictures taken of %.0f the clip holds there\n",
              seen.back().wall - seen.front().wall, counted, expected);
  std::printf("  late by more than one frame interval: %.2f%% (%d)  [limit 1%%]\n", 100.0 * late / counted, late);
  std::printf("  CPU per published picture: %.2f ms  [ffmpeg decoding to BGR0: %.2f ms a picture]\n",
              1000 * cpu / static_cast<double>(seen.size()), 1000 * reference);
  return 100.0 * late / counted < 1.0 ? 0 : 1;
}

}  // namespace
}  // namespace orvelle::clips::sim

int main() { return orvelle::clips::sim::run(); }
