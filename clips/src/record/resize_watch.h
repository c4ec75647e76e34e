#pragma once
// When a window that changed size gets a new capture. The capture counts the
// frames whose size no longer matches its own; once that count has grown at
// two ticks in a row while the window could be recorded, the capture is
// started again at the new size. Failed restarts wait 4, 8, 16 and then 30 s
// before the next attempt.

#include "common/media_time.h"

#include <cstdint>

namespace orvelle::clips {

class ResizeWatch {
 public:
  // A first restart may happen at once.
  explicit ResizeWatch(Ticks now) : deadline_(now) {}

  // One tick's look at the size-skip counter; recordable: the window is not
  // minimised and its client area can be read and is large enough. True
  // when the capture is to be restarted now.
  bool restart_due(bool recordable, std::uint64_t size_skip, Ticks now);
  // size_skip: the counter once the old capture has been closed, so the
  // next tick counts only the new capture's growth.
  void restarted(std::uint64_t size_skip);
  void failed(Ticks now);

 private:
  std::uint64_t last_size_skip_ = 0;
  std::uint32_t consecutive_ = 0;
  std::uint32_t failures_ = 0;
  Ticks deadline_;
};

}  // namespace orvelle::clips
