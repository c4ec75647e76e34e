#pragma once
// An open file read and written at explicit offsets: how the core reaches a
// file without knowing the platform. The Windows build opens real files; the
// tests bring their own.

#include "common/win_error.h"

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

}  // namespace orvelle::clips
