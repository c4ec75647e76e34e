#include "record/statistics.h"

#include "common/numbers.h"

#include <fmt/format.h>

#include <algorithm>

namespace orvelle::clips {

std::string statistics_line(std::uint64_t tick, const CounterReadings& now,
                            const CounterReadings& before, std::uint64_t in_flight,
                            const BufferFill& buffer) {
  return fmt::format(
      "[{:4}s] captured {:3} paced-out {:3} busy-drop {:2} sent {:3} packets {:3} key {} {:5} kB"
      "  in-flight {} size-skip {}  buffer {:.1f} s {} MB",
      tick, now.captured - before.captured, now.paced_out - before.paced_out,
      now.busy_drop - before.busy_drop, now.sent - before.sent, now.packets - before.packets,
      now.keyframes - before.keyframes, (now.bytes - before.bytes) / 1024, in_flight,
      now.size_skip, buffer.seconds, buffer.total_bytes / 1'048'576);
}

std::string total_line(Ticks elapsed, const CounterReadings& totals) {
  const double secs = std::max(seconds_of(elapsed), 0.001);
  const double fps = static_cast<double>(totals.packets) / secs;
  const auto kbits =
      saturate_cast<std::uint64_t>(static_cast<double>(totals.bytes) * 8 / 1000 / secs);
  return fmt::format(
      "total {:.1f} s: captured {} sent {} packets {} ({:.1f} fps) {} kB ({} kbit/s) keyframes {} "
      "paced-out {} busy-drop {}",
      secs, totals.captured, totals.sent, totals.packets, fps, totals.bytes / 1024, kbits,
      totals.keyframes, totals.paced_out, totals.busy_drop);
}

}  // namespace orvelle::clips
