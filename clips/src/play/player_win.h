#pragma once
// The playback mode on Windows: Media Foundation's source readers, the
// frames file in the temporary folder, WASAPI and the performance counter.

#include "shared/options.h"

namespace orvelle::clips {

int run_player_win(const PlayerOptions& options);

}  // namespace orvelle::clips
