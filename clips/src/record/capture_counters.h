#pragma once
// The capture's counters as the session reads them: one record shared by
// every capture of a recording, so a restart after a resize keeps counting.

#include <cstdint>

namespace orvelle::clips {

struct CounterReadings {
  std::uint64_t captured = 0;
  std::uint64_t paced_out = 0;
  std::uint64_t busy_drop = 0;
  std::uint64_t size_skip = 0;  // frames whose size differs from the capture's
  std::uint64_t sent = 0;
  std::uint64_t packets = 0;
  std::uint64_t bytes = 0;
  std::uint64_t keyframes = 0;
};

class CaptureCounters {
 public:
  virtual ~CaptureCounters() = default;
  // Each counter is read once, without a common lock.
  virtual CounterReadings read() const = 0;
  virtual std::uint64_t size_skip() const = 0;
};

}  // namespace orvelle::clips
