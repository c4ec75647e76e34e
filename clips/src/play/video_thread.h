#pragma once
// The "video" thread: opens the clip, creates the frames file, reports
// "ready" (or the start-up error) to the main thread, waits until the main
// thread has printed it, then paces, seeks and publishes pictures until stop.

#include "common/channel.h"
#include "common/json_write.h"
#include "play/output_size.h"
#include "play/player_ports.h"
#include "play/player_state.h"

#include <string>
#include <variant>

namespace orvelle::clips {

// The one message of the start-up channel: the whole "ready" event, or the
// error text.
using StartupResult = std::variant<Json, std::string>;

inline constexpr int kMaxEmptyReads = 240;

// printed: the main thread's word that "ready" is out; nothing is shown or
// reported before it, so no "error" or "ended" line can precede "ready".
void run_playback_video(Sender<StartupResult> startup, Receiver<bool> printed, PlayerPlatform& platform,
                        const std::string& path, PlayerState& state, PictureSize requested);

}  // namespace orvelle::clips
