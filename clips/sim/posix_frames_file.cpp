#include "sim/posix_frames_file.h"

#include "sim/system_error.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace orvelle::clips::sim {

std::string frames_file_path() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return path + "orvelle-play-" + std::to_string(getpid()) + ".bin";
}

std::expected<std::unique_ptr<FramesFile>, std::string> PosixFramesFile::create(std::uint64_t bytes) {
  std::unique_ptr<PosixFramesFile> f(new PosixFramesFile);
  f->path_ = frames_file_path();
  f->fd_ = open(f->path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (f->fd_ < 0) return std::unexpected("the frames file: " + system_error(errno).text());
  if (ftruncate(f->fd_, static_cast<off_t>(bytes)) != 0)
    return std::unexpected("the frames file: " + system_error(errno).text());
  void* view = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, f->fd_, 0);
  if (view == MAP_FAILED) return std::unexpected(std::string("the frames view"));
  f->view_ = static_cast<std::uint8_t*>(view);
  f->size_ = bytes;
  return std::unique_ptr<FramesFile>(std::move(f));
}

PosixFramesFile::~PosixFramesFile() {
  if (view_) munmap(view_, size_);
  if (fd_ >= 0) {
    close(fd_);
    unlink(path_.c_str());
  }
}

}  // namespace orvelle::clips::sim
