#pragma once
// A cover picture file (PNG, JPEG, ...) decoded by FFmpeg's libraries and
// scaled by libswscale: the simulation's stand-in for the platform's
// thumbnail decoder. The Windows programs never link it.

#include "bridge/platform.h"

#include <string>

namespace orvelle::media::sim {

// Opens and decodes the file whole; the picture then scales and cuts itself.
Result<std::unique_ptr<Picture>> open_picture_file(const std::string& path);

}  // namespace orvelle::media::sim
