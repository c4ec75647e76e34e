#pragma once
// The playback mode of orvelle-clips: starts the media platform, the
// "video" thread and, after "ready", the "audio" thread, then obeys the
// commands on standard input until it ends or "stop" arrives.

#include "common/line_reader.h"
#include "play/commands.h"
#include "play/player_ports.h"
#include "shared/options.h"

#include <expected>
#include <optional>
#include <string>
#include <string_view>

namespace orvelle::clips {

// 0 after a normal end, 1 after a start-up failure.
int run_player(const PlayerOptions& options, PlayerPlatform& platform);

// One line read from standard input (line end included): nothing for a
// blank line, else its command or the whole "unknown command {}: {}" text.
// A line that is not UTF-8 is one bad command, not the end of playback.
[[nodiscard]] std::optional<std::expected<PlayerCommand, std::string>> player_command_from_line(
    std::string_view line);

}  // namespace orvelle::clips
