#include "sim/ffmpeg/clip_muxer.h"

#include "common/utf.h"
#include "sim/posix_file.h"
#include "sim/system_error.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace orvelle::clips::sim {
namespace {

// ERROR_INVALID_NAME: a path the platform could not even spell.
constexpr std::uint32_t kInvalidName = 0x8007007Bu;

WinError not_ready() { return fail("the clip's streams are not laid out", hresult::kFail); }

}  // namespace

Result<std::unique_ptr<Muxer>> ClipMuxer::open(std::string_view path) {
  if (!is_valid_utf8(path) || path.find('\0') != std::string_view::npos)
    return error(fail("the file name is not valid", kInvalidName));
  const std::string name(path);
  if (auto writable = refuse_read_only(name); !writable) return error(writable.error());
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return error(system_error(errno));
  ::close(fd);
  return std::unique_ptr<Muxer>(new ClipMuxer(name));
}

Result<std::uint32_t> ClipMuxer::add_video_stream(const VideoTrackFormat& format) {
  if (video_ || file_) return error(fail("the clip has one picture stream, first", hresult::kFail));
  video_ = VideoTrack{{format.width, format.height}, format.fps, format.bitrate,
                      {format.sequence_header.begin(), format.sequence_header.end()}};
  return 0u;
}

Result<std::uint32_t> ClipMuxer::add_sound_stream(const SoundTrackType& type) {
  const auto* sound = dynamic_cast<const SimSoundType*>(&type);
  if (!sound) return error(fail("a sound type the simulation did not make", hresult::kInvalidMediaType));
  if (!video_ || file_) return error(not_ready());
  sound_.push_back(sound->track);
  return static_cast<std::uint32_t>(sound_.size());
}

Status ClipMuxer::begin() {
  if (!video_ || file_) return error(not_ready());
  auto file = Mp4Muxer::create(path_, *video_, sound_);
  if (!file) return error(file.error());
  file_ = std::move(*file);
  return {};
}

Status ClipMuxer::write_sample(std::uint32_t stream, const Packet& sample) {
  if (!file_) return error(not_ready());
  return file_->write(stream, sample, sample.time, sample.duration, sample.key);
}

Status ClipMuxer::finalize() {
  if (!file_) return error(not_ready());
  return file_->finish();
}

}  // namespace orvelle::clips::sim
