#pragma once
// The entry of orvelle-clips: reads the whole command line, rejects what it
// does not know, runs one mode and owns the exit code.

#include "shared/options.h"
#include "common/win_error.h"

#include <functional>
#include <string>
#include <vector>

namespace orvelle::clips {

// The modes, as the platform provides them. The first three return the exit
// code themselves; recording returns success or its error.
struct Modes {
  std::function<int(const RecorderOptions&)> list_microphones;
  std::function<int(const RecorderOptions&)> make_storyboard;
  std::function<int(const PlayerOptions&)> run_player;
  std::function<Status(const RecorderOptions&)> run_record_session;
};

// args: the arguments after the program's name, as UTF-8.
int run_clips(const std::vector<std::string>& args, const Modes& modes);

}  // namespace orvelle::clips
