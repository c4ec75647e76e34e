#pragma once
// A file of this system read and written at explicit offsets: the
// simulation's way to let the core's marking patch a finished clip. It
// counts what passes through it, so a test can show that the media data of
// a clip was never read.

#include "mp4/random_access_file.h"

#include <memory>
#include <string>

namespace orvelle::clips::sim {

class PosixFile final : public RandomAccessFile {
 public:
  // An existing file, for reading and writing.
  static Result<std::unique_ptr<PosixFile>> open(const std::string& path);
  ~PosixFile() override;
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  Result<std::uint64_t> size() override;
  Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) override;
  Status write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override;

  std::uint64_t bytes_read = 0;
  std::uint64_t bytes_written = 0;
  int writes = 0;

 private:
  explicit PosixFile(int fd) : fd_(fd) {}
  int fd_;
};

// The platform refuses to write over a read-only file whoever asks; this
// system lets its administrator, so the refusal is made here, before a file
// at path is opened for writing.
Status refuse_read_only(const std::string& path);

}  // namespace orvelle::clips::sim
