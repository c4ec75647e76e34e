// orvelle-clips-sim: orvelle-clips's command line, standard input and
// output, with the recording made on the simulated machine a scenario file
// describes.

#include "app/run_clips.h"
#include "app/unbuilt_modes.h"
#include "audio/mic_list.h"
#include "common/console.h"
#include "record/session.h"
#include "sim/record_platform.h"
#include "sim/scenario.h"
#include "sim/sim_sound.h"

#include <fmt/format.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kScenarioFlag = "--scenario";

}  // namespace

int main(int argc, char** argv) {
  using namespace orvelle;
  using namespace orvelle::clips;
  // --scenario FILE is the simulation's own; everything else is the program's.
  std::vector<std::string> args;
  std::optional<std::string> scenario_path;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kScenarioFlag) {
      if (i + 1 == argc) {
        write_line(Stream::err, "--scenario needs a file");
        return 2;
      }
      scenario_path = argv[++i];
    } else {
      args.emplace_back(argv[i]);
    }
  }
  auto scenario = scenario_path ? sim::load_scenario(*scenario_path) : sim::parse_scenario("{}");
  if (!scenario) {
    write_line(Stream::err, fmt::format("scenario: {}", scenario.error()));
    return 2;
  }

  Modes modes;
  add_unbuilt_modes(modes);
  modes.list_microphones = [&](const RecorderOptions&) {
    sim::SteadyClock clock;
    const Ticks start = clock.now();
    return list_microphones([&] { return Result<std::unique_ptr<SoundDevices>>(sim::sim_sound_devices(*scenario, clock, start)); });
  };
  modes.run_record_session = [&](const RecorderOptions& options) {
    auto platform = sim::sim_record_platform(*scenario);
    return run_record_session(options, *platform);
  };
  return run_clips(args, modes);
}
