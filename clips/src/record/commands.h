#pragma once
// The recorder's commands, one JSON line each on standard input.

#include "common/channel.h"
#include "shared/events.h"
#include "common/line_reader.h"

#include <atomic>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace orvelle::clips {

struct SaveCommand {
  std::string id;
  std::string path;
  std::optional<std::string> finish;
  bool operator==(const SaveCommand&) const = default;
};
struct SecondsCommand {
  std::uint32_t seconds;
  bool operator==(const SecondsCommand&) const = default;
};
struct MicvolumeCommand {
  std::uint32_t volume;
  bool operator==(const MicvolumeCommand&) const = default;
};
struct StopCommand {
  bool operator==(const StopCommand&) const = default;
};
using Command = std::variant<SaveCommand, SecondsCommand, MicvolumeCommand, StopCommand>;

// One line, with its line end removed, into a command or the error text.
[[nodiscard]] std::expected<Command, std::string> deserialize_command(std::string_view line);

// What one line read from standard input (line end included) amounts to:
// nothing for a blank line, else its command or the whole "bad command: ..."
// text to log.
[[nodiscard]] std::optional<std::expected<Command, std::string>> command_from_line(
    std::string_view line);

using StopFlag = std::shared_ptr<std::atomic<bool>>;

// The stdin thread's body: parses every line, sends each command to the main
// loop and logs "bad command: {}" for the rest; at the end of input it sets
// the stop flag and then lets the channel go.
void run_stdin_commands(LineReader input, Sender<Command> commands, SharedOutput output,
                        StopFlag stop_flag);
// Runs run_stdin_commands over standard input on an unnamed, detached thread.
void start_stdin_commands(Sender<Command> commands, SharedOutput output, StopFlag stop_flag);

}  // namespace orvelle::clips
