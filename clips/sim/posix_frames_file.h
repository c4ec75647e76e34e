#pragma once
// The frames file of the simulation: a real file in the system's temporary
// folder ($TMPDIR, else /tmp), named as on Windows and mapped shared, so a
// reader in another process opens it by path as the client does. It stays
// at its path until the player lets it go, then it is removed, as the
// platform's delete-on-close file is once its last handle closes.

#include "play/frames_writer.h"

#include <cstdint>
#include <expected>
#include <memory>
#include <string>

namespace orvelle::clips::sim {

class PosixFramesFile final : public FramesFile {
 public:
  static std::expected<std::unique_ptr<FramesFile>, std::string> create(std::uint64_t bytes);
  ~PosixFramesFile() override;
  std::span<std::uint8_t> bytes() override { return {view_, size_}; }
  const std::string& path() const override { return path_; }

 private:
  PosixFramesFile() = default;
  std::string path_;
  int fd_ = -1;
  std::uint8_t* view_ = nullptr;
  std::size_t size_ = 0;
};

// The temporary folder joined with "orvelle-play-{pid}.bin".
std::string frames_file_path();

}  // namespace orvelle::clips::sim
