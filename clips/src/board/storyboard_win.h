#pragma once
// The storyboard mode on Windows: Media Foundation's source reader, the
// imaging component and the Win32 files.

#include "shared/options.h"

namespace orvelle::clips {

int run_storyboard_win(const RecorderOptions& options);

}  // namespace orvelle::clips
