#pragma once
// The stdin reader: each non-empty trimmed line into the run loop's channel,
// then the end of input.

#include "bridge/messages.h"

#include <cstdio>

namespace orvelle::media {

// Body of the stdin reader thread; returns at the end of input or once the
// loop is gone.
void read_stdin_lines(std::FILE* input, LoopSender sender);

}  // namespace orvelle::media
