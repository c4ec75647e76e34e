#pragma once
// The simulated game's pictures: BGRA frames of the whole window, frame
// included, presented at the game's own rate while the window is shown,
// each carrying its capture time as the grid of time_code.h in its client
// area. Like the platform's capture, the frames come out of a pool of two
// buffers that are reused once nobody holds them.

#include "sim/scripted_window.h"
#include "sim/sim_clock.h"
#include "sim/time_code.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace orvelle::clips::sim {

// One buffer of the pool, four bytes a pixel, rows 64-byte aligned.
class BgraPicture {
 public:
  explicit BgraPicture(Size size);
  Size size() const { return size_; }
  std::size_t stride() const { return stride_; }
  const std::uint8_t* data() const { return pixels_.get(); }
  BgraView view() { return {pixels_.get(), stride_, size_}; }

 private:
  struct Free {
    void operator()(std::uint8_t* p) const;
  };
  Size size_;
  std::size_t stride_;
  std::unique_ptr<std::uint8_t[], Free> pixels_;
};

struct BgraFrame {
  Ticks time{0};  // capture time, on the clock's scale
  Size content;   // the window's size when the picture was taken
  std::shared_ptr<const BgraPicture> picture;
};

class FrameSource {
 public:
  // start: the clock's reading when the simulation started.
  FrameSource(const ScriptedWindow& window, std::uint32_t fps, Ticks start);

  // When the game presents its k-th picture, counted from the window's appearance.
  Ticks present_time(std::uint64_t k) const;
  // The index of the first picture presented at or after t.
  std::uint64_t first_at_or_after(Ticks t) const;
  // The picture presented at capture time t: nothing while the window is
  // not there or minimised, or while both buffers are still held.
  std::optional<BgraFrame> present(Ticks t);
  // Whether the window has closed for good by capture time t.
  bool closed_by(Ticks t) const;

  std::uint64_t pool_misses() const { return pool_misses_.load(); }
  Ticks start() const { return start_; }

 private:
  std::shared_ptr<BgraPicture> free_buffer(Size size);

  const ScriptedWindow& window_;
  std::uint32_t fps_;
  Ticks start_;
  std::array<std::shared_ptr<BgraPicture>, 2> pool_;
  std::atomic<std::uint64_t> pool_misses_{0};
};

// Presents the source's pictures in real time on a thread named "game" and
// hands each to sink on that thread, until it is destroyed or the window
// has closed. A picture whose time has passed by more than a frame when the
// thread gets to it is skipped, as a game that fell behind would skip it.
class FramePump {
 public:
  using Sink = std::function<void(BgraFrame)>;
  FramePump(FrameSource& source, SimClock& clock, Sink sink);
  ~FramePump();  // stops the thread and waits for it
  FramePump(const FramePump&) = delete;
  FramePump& operator=(const FramePump&) = delete;

 private:
  void run(std::stop_token stop);

  FrameSource& source_;
  SimClock& clock_;
  Sink sink_;
  std::jthread thread_;
};

}  // namespace orvelle::clips::sim
