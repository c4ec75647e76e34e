#pragma once
// The client's command lines: one JSON object each, its "cmd" naming the command.

#include "bridge/run_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvelle {
struct JsonNode;
}

namespace orvelle::media {

// The ticks a "seek" asks for from its "position" (milliseconds): 0 for
// anything but a non-negative integer within the signed 64-bit range.
std::int64_t seek_ticks(const JsonNode* position);

// Carries out one line and prints its reply.
void handle_command(RunState& state, std::string_view line);

}  // namespace orvelle::media
