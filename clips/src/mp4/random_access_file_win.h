#pragma once
// Files read and written at offsets through the Win32 file API.

#include "mp4/random_access_file.h"

#include <memory>
#include <string_view>

namespace orvelle::clips {

// An existing file at a UTF-8 path, for reading and writing; never created or
// truncated.
Result<std::unique_ptr<RandomAccessFile>> open_file_for_update(std::string_view path);

}  // namespace orvelle::clips
