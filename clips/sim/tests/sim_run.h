#pragma once
// One run of orvelle-clips-sim as the end-to-end tests drive it: a scenario
// file, the command line, standard input and the event lines read one by one.

#include "sim/tests/event_lines.h"
#include "support/temp_folder.h"
#include "tools/e2e/process.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::clips::sim {

using namespace std::chrono_literals;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

// A small game keeps the tests light: 640 x 360 at 30 pictures a second on
// a 60 Hz monitor, recorded at 30 fps.
inline constexpr const char* kGame =
    R"("window": {"title": "Game", "width": 640, "height": 360, "refresh": 60}, "fps": 30)";
inline constexpr double kFrameMs = 1000.0 / 30;
inline constexpr double kGroupSeconds = 2;  // two seconds of pictures from key frame to key frame

// One run of the simulation with a scenario, read event by event.
class Sim {
 public:
  explicit Sim(const std::string& scenario, std::vector<std::string> args = {"--title", "Game",
                                                                           "--json", "--fps", "30"}) {
    std::ofstream(dir.file("scenario.json")) << scenario;
    std::vector<std::string> argv = {ORVELLE_CLIPS_SIM, "--scenario", dir.file("scenario.json")};
    argv.insert(argv.end(), args.begin(), args.end());
    started = Clock::now();
    process = std::make_unique<e2e::Background>(argv);
  }

  // The next event of that name; every line read on the way is kept.
  std::optional<json> event(std::string_view name, std::chrono::milliseconds deadline = 20s) {
    auto e = next_event(*process, lines, name, deadline);
    if (e && name == "status" && !recording_since) recording_since = Clock::now();
    return e;
  }
  // When the recorder first said it records, waited for if not read yet: a
  // loaded machine's start-up must not count as recording.
  Clock::time_point recording() {
    if (!recording_since) event("status");
    return recording_since.value_or(Clock::now());
  }
  // The next log line that contains part.
  bool log(std::string_view part, std::chrono::milliseconds deadline = 20s) {
    const auto until = Clock::now() + deadline;
    while (auto e = event("log", std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now())))
      if (e->value("message", "").find(part) != std::string::npos) return true;
    return false;
  }
  void save(const std::string& id, const std::string& path) {
    process->send(json{{"cmd", "save"}, {"id", id}, {"path", path}}.dump());
  }
  // Milliseconds since the simulation started, as the pictures' codes count.
  double now_ms() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - started).count();
  }
  std::string transcript() const {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
  }

  TempFolder dir{"orvelle-sim-"};
  Clock::time_point started;
  std::optional<Clock::time_point> recording_since;
  std::unique_ptr<e2e::Background> process;
  std::vector<std::string> lines;
};

}  // namespace orvelle::clips::sim
