#pragma once
// The portable entry of orvelle-media: the options, the stdin reader and the
// run loop, and the exit code.

#include "bridge/platform.h"

#include <cstdio>
#include <string>
#include <vector>

namespace orvelle::media {

// 0 once standard input has ended; 1 after the "error" line when the run
// loop could not start.
int run_media(const std::vector<std::string>& args, MediaPlatform& platform, LoopClock& clock,
              std::FILE* input);

}  // namespace orvelle::media
