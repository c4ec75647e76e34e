#pragma once
// The audio sessions of the active playback devices, through WASAPI.

#include "bridge/platform.h"

namespace orvelle::media {

Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions_win();

}  // namespace orvelle::media
