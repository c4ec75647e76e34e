#include "sim/sim_sound_device.h"

#include <algorithm>

namespace orvelle::clips::sim {
namespace {

constexpr std::uint32_t kNotStopped = 0x88890005u;  // AUDCLNT_E_NOT_STOPPED

}  // namespace

Result<std::unique_ptr<SoundDevice>> SimSoundDevice::open(PlayTime& time, const SoundFormat& format,
                                                          const std::string& log) {
  if (format.channels > 2 && format.channel_mask == 0)
    return error(fail("more than two channels without their speakers", hresult::kUnsupportedFormat));
  return std::unique_ptr<SoundDevice>(std::make_unique<SimSoundDevice>(time, format, log));
}

SimSoundDevice::SimSoundDevice(PlayTime& time, SoundFormat format, const std::string& log)
    : time_(time), format_(format), buffer_frames_(std::max<std::uint32_t>(format.rate / 10, 1)),
      staging_(std::size_t{buffer_frames_} * std::max<std::uint32_t>(format.channels, 1)) {
  format_.channels = std::max<std::uint32_t>(format_.channels, 1);
  if (!log.empty()) log_ = std::fopen(log.c_str(), "ab");
}

SimSoundDevice::~SimSoundDevice() {
  if (log_) std::fclose(log_);
}

void SimSoundDevice::play_until_now() {
  std::int64_t now = time_.now_100ns();
  if (!running_) {
    played_until_ = now;
    return;
  }
  owed_ += static_cast<double>(now - played_until_) * format_.rate / 1e7;
  played_until_ = now;
  auto frames = static_cast<std::uint64_t>(owed_);
  owed_ -= static_cast<double>(frames);
  // The speaker plays silence once the buffer runs dry; the clock goes on.
  std::size_t samples = std::min<std::size_t>(frames * format_.channels, queued_.size());
  if (log_ && samples) {
    std::vector<float> out(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(samples));
    std::fwrite(out.data(), sizeof(float), out.size(), log_);
    std::fflush(log_);
  }
  queued_.erase(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(samples));
  played_frames_ += frames;
}

Result<std::uint32_t> SimSoundDevice::padding() {
  std::lock_guard lock(mutex_);
  play_until_now();
  return static_cast<std::uint32_t>(queued_.size() / format_.channels);
}

Result<std::span<float>> SimSoundDevice::get_buffer(std::uint32_t frames) {
  std::lock_guard lock(mutex_);
  play_until_now();
  if (queued_.size() / format_.channels + frames > buffer_frames_)
    return error(fail("more frames asked for than the buffer has free", 0x88890006u));  // AUDCLNT_E_BUFFER_TOO_LARGE
  return std::span<float>(staging_.data(), std::size_t{frames} * format_.channels);
}

Status SimSoundDevice::release_buffer(std::uint32_t frames) {
  std::lock_guard lock(mutex_);
  queued_.insert(queued_.end(), staging_.begin(), staging_.begin() + std::size_t{frames} * format_.channels);
  return {};
}

Status SimSoundDevice::start() {
  std::lock_guard lock(mutex_);
  if (running_) return error(fail("the stream is not stopped", kNotStopped));
  play_until_now();
  running_ = true;
  return {};
}

Status SimSoundDevice::stop() {
  std::lock_guard lock(mutex_);
  play_until_now();
  running_ = false;
  return {};
}

Status SimSoundDevice::reset() {
  std::lock_guard lock(mutex_);
  if (running_) return error(fail("the stream is not stopped", kNotStopped));
  queued_.clear();
  played_frames_ = 0;
  owed_ = 0;
  return {};
}

Result<DevicePosition> SimSoundDevice::position() {
  std::lock_guard lock(mutex_);
  play_until_now();
  return DevicePosition{played_frames_, played_until_};
}

}  // namespace orvelle::clips::sim
