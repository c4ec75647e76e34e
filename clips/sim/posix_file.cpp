#include "sim/posix_file.h"

#include "sim/system_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle::clips::sim {

Result<std::unique_ptr<PosixFile>> PosixFile::open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return error(system_error(errno));
  return std::unique_ptr<PosixFile>(new PosixFile(fd));
}

PosixFile::~PosixFile() { ::close(fd_); }

Result<std::uint64_t> PosixFile::size() {
  struct stat st;
  if (::fstat(fd_, &st) != 0) return error(system_error(errno));
  return static_cast<std::uint64_t>(st.st_size);
}

Status PosixFile::read_at(std::uint64_t offset, std::span<std::uint8_t> out) {
  while (!out.empty()) {
    ssize_t n = ::pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return error(system_error(errno));
    if (n == 0) return error(fail("the file ends early", hresult::kInvalidData));
    bytes_read += static_cast<std::uint64_t>(n);
    out = out.subspan(static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
  }
  return {};
}

Status PosixFile::write_at(std::uint64_t offset, std::span<const std::uint8_t> data) {
  ++writes;
  while (!data.empty()) {
    ssize_t n = ::pwrite(fd_, data.data(), data.size(), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return error(system_error(n < 0 ? errno : EIO));
    bytes_written += static_cast<std::uint64_t>(n);
    data = data.subspan(static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
  }
  return {};
}

Status refuse_read_only(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0)
    return error(system_error(EACCES));
  return {};
}

}  // namespace orvelle::clips::sim
