// orvelle-clips-sim: orvelle-clips's command line, standard input and
// output, with the recording made on the simulated machine a scenario file
// describes, clips played on FFmpeg and a stand-in playback device, and
// storyboards cut with FFmpeg.

#include "app/run_clips.h"
#include "audio/mic_list.h"
#include "board/storyboard.h"
#include "common/console.h"
#include "play/player.h"
#include "record/session.h"
#include "sim/board_platform.h"
#include "sim/player_platform.h"
#include "sim/record_platform.h"
#include "sim/scenario.h"
#include "sim/sim_sound.h"

#include <fmt/format.h>

#include <csignal>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kScenarioFlag = "--scenario";
constexpr std::string_view kSoundLogFlag = "--sound-log";

}  // namespace

int main(int argc, char** argv) {
  using namespace orvelle;
  using namespace orvelle::clips;
  // A closed standard output loses the event lines and nothing more: the
  // session runs on until it is told to stop.
  std::signal(SIGPIPE, SIG_IGN);
  // --scenario FILE and --sound-log FILE are the simulation's own;
  // everything else is the program's.
  std::vector<std::string> args;
  std::optional<std::string> scenario_path;
  std::string sound_log;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kScenarioFlag || argv[i] == kSoundLogFlag) {
      if (i + 1 == argc) {
        write_line(Stream::err, fmt::format("{} needs a file", argv[i]));
        return 2;
      }
      (argv[i] == kScenarioFlag ? scenario_path.emplace() : sound_log) = argv[i + 1];
      ++i;
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
  modes.list_microphones = [&](const RecorderOptions&) {
    sim::SteadyClock clock;
    const Ticks start = clock.now();
    return list_microphones([&] { return Result<std::unique_ptr<SoundDevices>>(sim::sim_sound_devices(*scenario, clock, start)); });
  };
  modes.run_record_session = [&](const RecorderOptions& options) {
    auto platform = sim::sim_record_platform(*scenario);
    return run_record_session(options, *platform);
  };
  modes.make_storyboard = [](const RecorderOptions& options) {
    auto platform = sim::sim_board_platform();
    return run_storyboard(options, *platform);
  };
  // Outlives the player's threads, which use it until they are joined.
  auto player_platform = sim::sim_player_platform(sound_log);
  modes.run_player = [&](const PlayerOptions& options) { return run_player(options, *player_platform); };
  return run_clips(args, modes);
}
