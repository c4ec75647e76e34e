#pragma once
// The storyboard's platform in the simulation: the player's FFmpeg reader,
// libswscale and libavcodec for the imaging component, and this system's
// files.

#include "board/board_ports.h"

#include <memory>

namespace orvelle::clips::sim {

std::unique_ptr<BoardPlatform> sim_board_platform();

}  // namespace orvelle::clips::sim
