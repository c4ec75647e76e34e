#pragma once
// The bridge's run loop on the main thread: obtain the manager, say "ready",
// publish, then wait on the channel: every 2 s a refresh, each burst of
// messages answered and followed by one refresh, and two extra forced
// refreshes after a change of track.

#include "bridge/config.h"
#include "bridge/platform.h"

namespace orvelle::media {

// Returns when standard input has ended; fails only while starting.
Status run(const MediaConfig& config, MediaPlatform& platform, LoopClock& clock,
           LoopSender sender, LoopReceiver& receiver);

}  // namespace orvelle::media
