#pragma once
// The player's platform in the simulation: FFmpeg's readers, the stand-in
// playback device, the frames file in the temporary folder and the real
// standard input.

#include "play/player_ports.h"

#include <memory>
#include <string>

namespace orvelle::clips::sim {

// sound_log: where the device stand-in appends what it plays (empty: nowhere).
std::unique_ptr<PlayerPlatform> sim_player_platform(std::string sound_log);

}  // namespace orvelle::clips::sim
