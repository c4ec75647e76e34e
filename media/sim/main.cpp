// orvelle-media-sim: the bridge's portable core on a simulated desktop whose
// media sessions follow a scenario; it speaks the client's protocol on
// standard input and output as orvelle-media does.

#include "app/run_media.h"
#include "common/console.h"
#include "sim/scenario.h"
#include "sim/sim_platform.h"

#include <fmt/format.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
  using namespace orvelle;
  // A closed standard output loses the lines and nothing more: the bridge
  // runs on until its standard input ends.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args;
  std::string scenario_path;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--scenario" && i + 1 < argc)
      scenario_path = argv[++i];
    else
      args.push_back(argv[i]);
  }
  media::sim::Scenario scenario;
  if (!scenario_path.empty()) {
    auto loaded = media::sim::load_scenario(scenario_path);
    if (!loaded) {
      write_line(Stream::err, fmt::format("scenario {}: {}", scenario_path, loaded.error()));
      return 2;
    }
    scenario = std::move(*loaded);
    // Picture files are named from the scenario's folder.
    auto folder = std::filesystem::path(scenario_path).parent_path();
    auto resolve = [&](media::sim::SessionFields& f) {
      if (f.art && !f.art->empty() && std::filesystem::path(*f.art).is_relative())
        f.art = (folder / *f.art).string();
    };
    for (auto& s : scenario.sessions) resolve(s);
    for (auto& e : scenario.events) resolve(e.fields);
  }
  media::sim::SimPlatform platform(std::move(scenario));
  platform.start();
  media::SteadyLoopClock clock;
  int code = media::run_media(args, platform, clock, stdin);
  std::fflush(stdout);
  std::_Exit(code);  // the stdin reader and the scenario are not waited for
}
