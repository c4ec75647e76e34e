#pragma once
// The clip writer's file operations in the simulation, on this system's
// files, with the platform's codes for the platform's failures.

#include "mp4/clip_files.h"

namespace orvelle::clips::sim {

class PosixClipFiles final : public ClipFiles {
 public:
  bool exists(std::string_view path) override;
  Result<std::uint64_t> size(std::string_view path) override;
  // Another file system is crossed by a copy, as the platform's move does.
  Status move_replacing(std::string_view from, std::string_view to) override;
  Status remove_own(std::string_view path) override;
  Result<std::unique_ptr<RandomAccessFile>> open_for_update(std::string_view path) override;
};

}  // namespace orvelle::clips::sim
