#include "sim/posix_clip_files.h"

#include "sim/posix_file.h"
#include "sim/system_error.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle::clips::sim {

bool PosixClipFiles::exists(std::string_view path) {
  struct stat st;
  return ::stat(std::string(path).c_str(), &st) == 0;
}

Result<std::uint64_t> PosixClipFiles::size(std::string_view path) {
  struct stat st;
  if (::stat(std::string(path).c_str(), &st) != 0) return error(system_error(errno));
  return static_cast<std::uint64_t>(st.st_size);
}

Status PosixClipFiles::move_replacing(std::string_view from, std::string_view to) {
  const std::string source(from), target(to);
  if (auto writable = refuse_read_only(target); !writable) return writable;
  if (::rename(source.c_str(), target.c_str()) == 0) return {};
  if (errno != EXDEV) return error(system_error(errno));
  std::error_code failed;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing,
                             failed);
  if (failed) return error(system_error(failed.value()));
  if (::unlink(source.c_str()) != 0) return error(system_error(errno));
  return {};
}

// Removing a file needs no write permission on it here, so a read-only mark
// set meanwhile does not keep half a clip behind.
Status PosixClipFiles::remove_own(std::string_view path) {
  if (::unlink(std::string(path).c_str()) != 0) return error(system_error(errno));
  return {};
}

Result<std::unique_ptr<RandomAccessFile>> PosixClipFiles::open_for_update(std::string_view path) {
  auto file = PosixFile::open(std::string(path));
  if (!file) return error(file.error());
  return std::unique_ptr<RandomAccessFile>(std::move(*file));
}

}  // namespace orvelle::clips::sim
