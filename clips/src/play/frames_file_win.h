#pragma once
// The frames file on Windows: a temporary, delete-on-close file in the
// system's temporary folder, mapped whole; it disappears once the last
// handle to it closes, the client's included.

#include "play/frames_writer.h"

#include <expected>
#include <memory>
#include <string>

namespace orvelle::clips {

std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file_win(std::uint64_t bytes);

}  // namespace orvelle::clips
