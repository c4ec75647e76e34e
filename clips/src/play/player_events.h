#pragma once
// Every line the player prints, and its printer. The player always writes
// to standard output, whatever --json says.

#include "common/json_write.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvelle::clips {

// One compact JSON line with sorted keys, written and flushed whole, from
// any thread.
void print_json_line(const Json& value);

struct ReadyFacts {
  std::uint32_t width = 0, height = 0;
  double duration = 0;  // seconds
  std::string map;      // the frames file's full path
};
Json ready_event(const ReadyFacts& facts);
Json state_event(bool playing);
Json ended_event(std::uint32_t generation);
// "none", "on" or "error: {text}".
Json audio_event(std::string_view state);
Json error_event(std::string_view message);

}  // namespace orvelle::clips
