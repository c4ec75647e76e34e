#pragma once
// The clip's muxer on Windows: the Media Foundation sink writer for MPEG-4,
// the H.264 and AAC samples passed through as they are (Windows only).

#include "mp4/muxer.h"

#include <string_view>

namespace orvelle::clips {

// A writer for a new file at the UTF-8 path, throttling off.
Result<std::unique_ptr<Muxer>> open_sink_writer(std::string_view path);

}  // namespace orvelle::clips
