#pragma once
// The audio sessions of the active playback devices, through WASAPI.

#include "bridge/platform.h"

namespace orvelle::media {

Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions_win();

// What a process says of itself; absent when it cannot be opened. Its app
// id comes from GetApplicationUserModelId where the system has it.
std::optional<ProcessIdentity> process_identity(std::uint32_t pid);

}  // namespace orvelle::media
