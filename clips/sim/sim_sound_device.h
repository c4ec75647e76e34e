#pragma once
// The playback device of the simulation: a 100 ms buffer that the "speaker"
// drains at the stream's rate in real time while it runs, a clock that
// counts the frames played, and, when asked, every played sample appended
// to a file of raw 32-bit floats (what reached the speaker). Like the
// platform's shared-mode client it refuses a Start while started and a
// Reset while running, and more than two channels without their speakers.

#include "play/play_time.h"
#include "play/sound_io.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvelle::clips::sim {

class SimSoundDevice final : public SoundDevice {
 public:
  // log: a file name, or empty.
  [[nodiscard]] static Result<std::unique_ptr<SoundDevice>> open(PlayTime& time, const SoundFormat& format,
                                                                 const std::string& log);
  SimSoundDevice(PlayTime& time, SoundFormat format, const std::string& log);
  ~SimSoundDevice() override;

  std::uint32_t buffer_frames() const override { return buffer_frames_; }
  std::uint64_t frequency() const override { return format_.rate; }
  Result<std::uint32_t> padding() override;
  Result<std::span<float>> get_buffer(std::uint32_t frames) override;
  Status release_buffer(std::uint32_t frames) override;
  Status start() override;
  Status stop() override;
  Status reset() override;
  Result<DevicePosition> position() override;

 private:
  // Plays what real time has reached since the last call (mutex held).
  void play_until_now();

  PlayTime& time_;
  SoundFormat format_;
  std::uint32_t buffer_frames_;
  std::mutex mutex_;
  std::deque<float> queued_;  // written, not yet played
  std::vector<float> staging_;
  bool running_ = false;
  std::int64_t played_until_ = 0;  // 100 ns, how far the speaker has got
  std::uint64_t played_frames_ = 0;  // since the last reset
  double owed_ = 0;                  // fractions of a frame
  std::FILE* log_ = nullptr;
};

}  // namespace orvelle::clips::sim
