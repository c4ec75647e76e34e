#pragma once
// An open file read and written at explicit offsets: how the core reaches a
// file without knowing the platform. The Windows build opens real files; the
// tests bring their own.

#include "win_error.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace orvelle::clips {

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  virtual Result<std::uint64_t> size() = 0;
  // Fills out completely, or fails.
  virtual Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
  virtual Status write_at(std::uint64_t offset, std::span<const std::uint8_t> data) = 0;
};

// An existing file at a UTF-8 path, for reading and writing; never created or
// truncated (Windows build only).
Result<std::unique_ptr<RandomAccessFile>> open_file_for_update(std::string_view path);

}  // namespace orvelle::clips
