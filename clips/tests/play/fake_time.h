#pragma once
// A player time that moves only when told to or when someone sleeps on it,
// so pacing and the clock's lead are exact.

#include "play/play_time.h"

#include <atomic>
#include <thread>

namespace orvelle::clips {

class ManualPlayTime final : public PlayTime {
 public:
  std::int64_t now_100ns() override { return now_.load(); }
  void sleep(Ticks d) override {
    now_ += d.count();
    std::this_thread::yield();
  }
  void advance(std::int64_t units) { now_ += units; }

 private:
  std::atomic<std::int64_t> now_{1'000'000'000};
};

}  // namespace orvelle::clips
