#pragma once
// The capture counters. CaptureStats spans the whole recording: the frame
// handler and the encoder thread of every capture session add to it, and the
// statistics line and the resize detection read it. The frames in flight
// belong to one capture session: a restart starts a new count, so frames a
// closed session never encoded cannot hold the next one at its cap.
//
// Each counter changes by one atomic operation; no order between counters is
// needed, so every access is relaxed.

#include <atomic>
#include <cstdint>

namespace orvelle::clips {

struct CaptureStats {
  // Written by the frame handler.
  std::atomic<std::uint64_t> captured{0};   // every frame taken from the pool
  std::atomic<std::uint64_t> paced_out{0};  // came before its pacing slot
  std::atomic<std::uint64_t> busy_drop{0};  // the encoder was busy: in-flight cap or full channel
  std::atomic<std::uint64_t> size_skip{0};  // content size differs from the capture's size
  std::atomic<std::uint64_t> sent{0};       // handed to the encoder thread
  // Written by the encoder thread.
  std::atomic<std::uint64_t> packets{0};    // encoded pictures
  std::atomic<std::uint64_t> bytes{0};      // their bytes
  std::atomic<std::uint64_t> keyframes{0};  // key pictures among them
};

inline void count(std::atomic<std::uint64_t>& counter, std::uint64_t n = 1) {
  counter.fetch_add(n, std::memory_order_relaxed);
}
inline std::uint64_t reading(const std::atomic<std::uint64_t>& counter) {
  return counter.load(std::memory_order_relaxed);
}

// Frames of one capture session handed to its encoder whose pictures have
// not come out yet. The handler counts a frame before it sends it and takes
// it back when the send is refused, so the encoder's decrement can never
// come first and be lost.
class InFlight {
 public:
  std::uint64_t value() const { return n_.load(std::memory_order_relaxed); }
  void add() { n_.fetch_add(1, std::memory_order_relaxed); }
  // One fewer, never below 0: an encoder may emit more pictures than it was given.
  void remove() {
    std::uint64_t v = n_.load(std::memory_order_relaxed);
    while (v != 0 && !n_.compare_exchange_weak(v, v - 1, std::memory_order_relaxed)) {
    }
  }

 private:
  std::atomic<std::uint64_t> n_{0};
};

}  // namespace orvelle::clips
