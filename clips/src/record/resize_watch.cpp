#include "record/resize_watch.h"

#include <algorithm>

namespace orvelle::clips {

bool ResizeWatch::restart_due(bool recordable, std::uint64_t size_skip, Ticks now) {
  const bool grew = size_skip > last_size_skip_;
  last_size_skip_ = size_skip;
  if (!recordable || !grew) {
    consecutive_ = 0;
    return false;
  }
  ++consecutive_;
  // At least two, not exactly two: the count goes on growing while a
  // back-off runs, and the restart is still due once the back-off is over.
  return consecutive_ >= 2 && now >= deadline_;
}

void ResizeWatch::restarted(std::uint64_t size_skip) {
  failures_ = 0;
  consecutive_ = 0;
  last_size_skip_ = size_skip;
}

void ResizeWatch::failed(Ticks now) {
  ++failures_;
  const std::int64_t wait_s = std::min<std::int64_t>(2 << std::min<std::uint32_t>(failures_, 4), 30);
  deadline_ = now + std::chrono::seconds(wait_s);
  consecutive_ = 0;
}

}  // namespace orvelle::clips
