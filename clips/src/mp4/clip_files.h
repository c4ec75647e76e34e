#pragma once
// What the clip writer does to files once the muxer is done, and to a file
// it has to give up: how the core reaches the file system without knowing
// the platform.

#include "common/win_error.h"
#include "mp4/random_access_file.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace orvelle::clips {

class ClipFiles {
 public:
  virtual ~ClipFiles() = default;
  virtual bool exists(std::string_view path) = 0;
  virtual Result<std::uint64_t> size(std::string_view path) = 0;
  // Replaces a file at to.
  virtual Status move_replacing(std::string_view from, std::string_view to) = 0;
  // Only for a file this save wrote itself: it is deleted even when it has
  // been made read-only meanwhile.
  virtual Status remove_own(std::string_view path) = 0;
  // An existing file, read and written in place.
  virtual Result<std::unique_ptr<RandomAccessFile>> open_for_update(std::string_view path) = 0;
};

}  // namespace orvelle::clips
