#pragma once
// The client's command lines: one JSON object each, its "cmd" naming the command.

#include "bridge/run_state.h"

#include <string>
#include <string_view>

namespace orvelle::media {

// Carries out one line and prints its reply.
void handle_command(RunState& state, std::string_view line);

}  // namespace orvelle::media
