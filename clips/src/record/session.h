#pragma once
// The recording mode of orvelle-clips: it prepares the process, waits for
// the game window, opens the GPU that shows it, creates the recording's
// shared state, starts capture, sound and the stdin reader, and runs the
// main loop until the session ends.

#include "common/win_error.h"
#include "record/session_ports.h"
#include "shared/options.h"

namespace orvelle::clips {

// Success also when the game window closed before recording could begin
// ("ended"); an error is reported by the entry as a "status" error event.
Status run_record_session(const RecorderOptions& options, RecordPlatform& platform);

}  // namespace orvelle::clips
