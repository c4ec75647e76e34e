#include "sim/posix_board_files.h"

#include "sim/system_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace orvelle::clips::sim {
namespace {

Status write_all(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return error(system_error(errno));
    if (n == 0) return error(system_error(EIO));
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return {};
}

}  // namespace

Status PosixBoardFiles::write_part_file(const std::string& target, std::span<const std::uint8_t> bytes) {
  const std::string part = target + ".part";
  const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return error(system_error(errno));
  Status written = write_all(fd, bytes);
  if (::close(fd) != 0 && written) written = error(system_error(errno));
  if (written && std::rename(part.c_str(), target.c_str()) != 0) written = error(system_error(errno));
  // A half-written part only takes room: nothing reads it.
  if (!written) ::unlink(part.c_str());
  return written;
}

Status PosixBoardFiles::remove(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return error(system_error(errno));
  return {};
}

BoardSource PosixBoardFiles::facts(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return {};
  const auto ms = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
  return {static_cast<std::uint64_t>(st.st_size), ms < 0 ? 0 : static_cast<std::uint64_t>(ms)};
}

}  // namespace orvelle::clips::sim
