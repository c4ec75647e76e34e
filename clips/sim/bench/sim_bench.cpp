// The recorder's whole road in the simulation, measured in real time, each
// figure beside its reference:
// - a save of a 60 s 1080p60 clip at 20 Mbit/s, from the "save" command to
//   the "save" event, against ffmpeg -c copy muxing the same packets into an
//   MP4 on the same machine (at most 1.3 times as long), and the one copy
//   of its payload the platform's writer makes;
// - the process's extra memory while it saves, against the ring's payload
//   (under 5%: this writer copies no payload);
// - the CPU time of a recording that receives no frames (under 1% of one
//   core).
// Plain main: each figure comes from one long run, not from repetitions.

#include "sim/bench/proc_stats.h"
#include "support/temp_folder.h"
#include "tools/e2e/process.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace orvelle::clips::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

double seconds_since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

// From /proc: the resident memory in bytes.
std::uint64_t resident_bytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::stoull(line.substr(6)) * 1024;
  return 0;
}

// The next event of that name; nothing when the run ends first.
std::optional<json> event(e2e::Background& sim, std::string_view name,
                          std::chrono::milliseconds deadline) {
  const auto until = Clock::now() + deadline;
  while (Clock::now() < until) {
    auto line = sim.next_line(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()));
    if (!line) return std::nullopt;
    json e = json::parse(*line, nullptr, false);
    if (!e.is_discarded() && e.value("event", "") == name) return e;
  }
  return std::nullopt;
}

std::unique_ptr<e2e::Background> start(const TempFolder& dir, const std::string& scenario,
                                       std::vector<std::string> args) {
  std::ofstream(dir.file("scenario.json")) << scenario;
  std::vector<std::string> argv = {ORVELLE_CLIPS_SIM, "--scenario", dir.file("scenario.json"),
                                   "--title", "Game", "--json"};
  argv.insert(argv.end(), args.begin(), args.end());
  return std::make_unique<e2e::Background>(argv);
}

// The platform's sink writer gets each packet in a buffer of its own, so
// the save there copies its payload once (the simulation's muxer takes the
// ring's bytes by reference). Timed on the clip's bytes, in pieces of the
// average picture, each into a fresh allocation as the platform makes it.
double sample_copy_seconds(const std::string& clip, double duration) {
  std::ifstream in(clip, std::ios::binary);
  const std::vector<char> payload((std::istreambuf_iterator<char>(in)), {});
  const auto pictures = static_cast<std::size_t>(duration * 60);
  if (payload.empty() || pictures == 0) return 0;
  const std::size_t piece = std::max<std::size_t>(payload.size() / pictures, 1);
  const auto began = Clock::now();
  std::size_t kept = 0;
  for (std::size_t at = 0; at < payload.size(); at += piece) {
    const std::size_t n = std::min(piece, payload.size() - at);
    auto buffer = std::make_unique_for_overwrite<char[]>(n);
    std::memcpy(buffer.get(), payload.data() + at, n);
    kept += static_cast<unsigned char>(buffer[n - 1]);  // keeps the copy from being elided
  }
  const double took = seconds_since(began);
  return kept == std::size_t(-1) ? 0 : took;
}

int save_and_memory() {
  TempFolder dir("orvelle-bench-");
  auto sim = start(dir, R"({"window": {"width": 1920, "height": 1080, "refresh": 60}, "fps": 60})",
                   {"--fps", "60", "--bitrate", "20000000", "--seconds", "60"});
  if (!event(*sim, "status", 30s)) {
    std::fprintf(stderr, "the simulation did not start recording\n");
    return 1;
  }
  std::printf("filling the ring: 62 s of 1080p60 at 20 Mbit/s ...\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(62s);

  const std::uint64_t before = resident_bytes(sim->pid());
  std::uint64_t peak = before;
  std::atomic<bool> saving{true};
  std::thread sampler([&] {
    while (saving.load()) {
      peak = std::max(peak, resident_bytes(sim->pid()));
      std::this_thread::sleep_for(1ms);
    }
  });
  const std::string clip = dir.file("clip.mp4");
  const auto asked = Clock::now();
  sim->send(json{{"cmd", "save"}, {"id", "bench"}, {"path", clip}}.dump());
  auto saved = event(*sim, "save", 60s);
  const double save_seconds = seconds_since(asked);
  saving.store(false);
  sampler.join();
  sim->send(R"({"cmd":"stop"})");
  sim->wait(30s);
  if (!saved) {
    std::fprintf(stderr, "the save did not end with a save event\n");
    return 1;
  }
  const auto bytes = saved->value("bytes", std::uint64_t{0});

  const auto copied = Clock::now();
  const std::string command = "ffmpeg -v error -y -i '" + clip + "' -map 0 -c copy -f mp4 '" +
                              dir.file("copy.mp4") + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "ffmpeg could not copy the clip\n");
    return 1;
  }
  const double copy_seconds = seconds_since(copied);

  std::printf("save of %.1f s, %.1f MB: %.3f s; ffmpeg -c copy of the same packets: %.3f s; "
              "ratio %.2f (reference: at most 1.30)\n",
              saved->value("durationSec", 0.0), static_cast<double>(bytes) / 1e6, save_seconds,
              copy_seconds, save_seconds / copy_seconds);
  const double sample_copy = sample_copy_seconds(clip, saved->value("durationSec", 0.0));
  if (sample_copy > 0)
    std::printf("the one copy a save makes on Windows, each packet into a sample buffer of its "
                "own: %.3f s, %.1f%% of the save above\n",
                sample_copy, 100 * sample_copy / save_seconds);
  const double extra = static_cast<double>(peak - before);
  std::printf("extra memory during the save: %.1f MB against a ring payload of %.1f MB: %.2f%% "
              "(reference: under 5%%)\n",
              extra / 1e6, static_cast<double>(bytes) / 1e6, 100 * extra / static_cast<double>(bytes));
  return 0;
}

int idle_cpu() {
  TempFolder dir("orvelle-bench-");
  // Recording, then minimised for good: the capture runs and no frame comes.
  auto sim = start(dir, R"({"window": {"width": 1920, "height": 1080}, "fps": 60,
                            "events": [{"at": 2000, "do": "minimise"}]})",
                   {"--fps", "60"});
  if (!event(*sim, "status", 30s)) {
    std::fprintf(stderr, "the simulation did not start recording\n");
    return 1;
  }
  std::this_thread::sleep_for(3s);
  const double cpu_before = cpu_seconds(sim->pid());
  const auto began = Clock::now();
  std::this_thread::sleep_for(20s);
  const double share = (cpu_seconds(sim->pid()) - cpu_before) / seconds_since(began);
  sim->send(R"({"cmd":"stop"})");
  sim->wait(30s);
  std::printf("a recording with no frames, the game's own thread included: %.2f%% of one core "
              "(reference: under 1%%)\n",
              100 * share);
  return 0;
}

}  // namespace
}  // namespace orvelle::clips::sim

int main() {
  if (int failed = orvelle::clips::sim::save_and_memory()) return failed;
  return orvelle::clips::sim::idle_cpu();
}
