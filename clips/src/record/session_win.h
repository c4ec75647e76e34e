#pragma once
// The record session on the real desktop (Windows only).

#include "record/session_ports.h"
#include "shared/options.h"

#include <memory>

namespace orvelle::clips {

// The platform a recording runs on under Windows.
std::unique_ptr<RecordPlatform> windows_record_platform();

// The recording mode of orvelle-clips.
Status run_record_session_win(const RecorderOptions& options);

}  // namespace orvelle::clips
