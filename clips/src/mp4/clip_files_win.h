#pragma once
// The clip writer's file operations through the Win32 file API (Windows only).

#include "mp4/clip_files.h"

#include <string>
#include <string_view>

namespace orvelle::clips {

// A UTF-8 path as the platform takes it. A path the platform cannot name (a
// NUL inside, bytes that are not UTF-8) fails with the system's own
// invalid-name error rather than naming some other file.
Result<std::wstring> windows_path(std::string_view path);

class Win32ClipFiles final : public ClipFiles {
 public:
  bool exists(std::string_view path) override;
  Result<std::uint64_t> size(std::string_view path) override;
  Status move_replacing(std::string_view from, std::string_view to) override;
  Status remove_own(std::string_view path) override;
  Result<std::unique_ptr<RandomAccessFile>> open_for_update(std::string_view path) override;
};

}  // namespace orvelle::clips
