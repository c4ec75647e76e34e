#pragma once
// The "audio" thread: decodes the clip's first sound stream, plays it on the
// default device, follows play, pause, seek, volume and stop, and steers the
// playback clock by the device's clock so pictures follow the sound.

#include "play/player_ports.h"
#include "play/player_state.h"

#include <string>

namespace orvelle::clips {

void run_playback_audio(PlayerPlatform& platform, const std::string& path, PlayerState& state);

}  // namespace orvelle::clips
