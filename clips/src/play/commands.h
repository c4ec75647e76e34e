#pragma once
// The player's commands, one JSON line each on standard input; the same
// grammar as the recorder's, with the player's own variants.

#include <expected>
#include <string>
#include <string_view>
#include <variant>

namespace orvelle::clips {

struct PlayCommand {
  bool operator==(const PlayCommand&) const = default;
};
struct PauseCommand {
  bool operator==(const PauseCommand&) const = default;
};
struct SeekCommand {
  double t;  // seconds
  bool operator==(const SeekCommand&) const = default;
};
struct VolumeCommand {
  float v;
  bool operator==(const VolumeCommand&) const = default;
};
struct PlayerStopCommand {
  bool operator==(const PlayerStopCommand&) const = default;
};
using PlayerCommand =
    std::variant<PlayCommand, PauseCommand, SeekCommand, VolumeCommand, PlayerStopCommand>;

// The line trimmed of white space at both ends.
[[nodiscard]] std::expected<PlayerCommand, std::string> deserialize_player_command(std::string_view line);

}  // namespace orvelle::clips
