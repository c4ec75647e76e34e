#pragma once
// Real files for the tests and the benchmarks, natively and under Wine: a new
// folder under the system's temporary folder, removed with its files, and
// whole-file reads and writes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orvelle::clips {

class TempFolder {
 public:
  // The folder's name starts with stem (which may be any Unicode text).
  explicit TempFolder(const std::filesystem::path& stem = "orvelle-");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A file in the folder, as a UTF-8 path.
  std::string file(const std::filesystem::path& name) const;

 private:
  std::filesystem::path path_;
};

// A path as UTF-8, the form the programs' interfaces take.
std::string utf8_path(const std::filesystem::path& path);

std::vector<std::uint8_t> read_whole_file(const std::filesystem::path& path);
void write_whole_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace orvelle::clips
