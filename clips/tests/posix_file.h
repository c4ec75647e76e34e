#pragma once
// Real files for the native tests and the benchmarks: RandomAccessFile over
// a POSIX descriptor, which counts what passes through it so a test can show
// that the media data was never read, and a temporary folder.

#include "random_access_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvelle::clips {

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

// A new folder under the system's temporary folder, removed with its files.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::vector<std::uint8_t> read_whole_file(const std::string& path);
void write_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace orvelle::clips
