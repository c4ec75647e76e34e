#pragma once
// The performance counter, the clock the sound device reports in, and waits
// that keep the pacing's 4 ms slices: the system's default timer ticks about
// every 15.6 ms, so a plain Sleep would show pictures up to 15 ms late.

#include "play/play_time.h"

namespace orvelle::clips {

class CounterPlayTime final : public PlayTime {
 public:
  // How the waits keep their length: a high-resolution waitable timer
  // (Windows 10 version 1803 on), else the system timer at 1 ms for as long
  // as this time source lives.
  enum class Waits { high_resolution_timer, one_ms_period };

  CounterPlayTime();
  ~CounterPlayTime() override;
  CounterPlayTime(const CounterPlayTime&) = delete;
  CounterPlayTime& operator=(const CounterPlayTime&) = delete;

  Waits waits() const { return waits_; }
  std::int64_t now_100ns() override;
  // From any thread: each waiting thread has its own timer.
  void sleep(Ticks duration) override;

 private:
  Waits waits_;
};

}  // namespace orvelle::clips
