#pragma once
// What happens to each frame the capture delivers: counted, checked for
// size, paced, placed on the clip timeline, held back while the encoder is
// busy, converted on the GPU and handed to the encoder thread without ever
// waiting. The platform gives the frame, the converter and the stage; the
// decisions are all here. The Windows frame pool calls this from its
// FrameArrivedHandler (frame_handler_win.h); the simulation from its own
// frame source.
//
// Runs on the capture's worker threads, possibly several at once. Lock
// order: the pacing mutex, then the ring's (released first); the converter's
// mutex is taken alone, after the pacing mutex is let go. No lock is held
// while sending.

#include "common/geometry.h"
#include "common/media_time.h"
#include "common/win_error.h"
#include "encode/capture_stats.h"
#include "encode/captured_frame.h"
#include "encode/frame_texture.h"
#include "capture/pacing.h"
#include "ring/ring.h"
#include "shared/window_handle.h"

#include <memory>
#include <mutex>
#include <optional>

namespace orvelle::clips {

// One frame the capture delivered, asked only as far as the decisions need.
class ArrivedFrame {
 public:
  // Its capture time; absent when it cannot be read.
  virtual std::optional<Ticks> time() = 0;
  // The size of its content; 0 x 0 when it cannot be read.
  virtual Size content_size() = 0;
  // Its picture: a reference the caller lets go when done.
  virtual Result<FrameTexture> texture() = 0;

 protected:
  ~ArrivedFrame() = default;
};

// The frame converter (crop, and BGRA to NV12 unless the encoder takes BGRA):
// one captured picture into a new picture of the encode size.
class FrameConversion {
 public:
  virtual ~FrameConversion() = default;
  virtual Result<FrameTexture> convert(const FrameTexture& captured) = 0;
};

// More frames in flight than this and the next is dropped as busy.
inline constexpr std::uint64_t kMaxFramesInFlight = 3;

// What the capture start hands the frame handler.
struct FrameHandlerSetup {
  FrameSender sender;                       // to the encoder thread
  std::shared_ptr<CaptureStats> stats;
  std::shared_ptr<InFlight> in_flight;      // this capture session's
  std::shared_ptr<Ring> ring;
  Ticks interval{0};                        // the pacing interval
  WindowHandle window = nullptr;            // the game window
  std::unique_ptr<FrameConversion> converter;  // absent with --stage capture
  Size expected;                            // the capture item's size at the start
  bool send = false;                        // an encoder thread exists (not --stage convert)
};

// The frame handler's state for one capture session.
class FrameArrival {
 public:
  explicit FrameArrival(FrameHandlerSetup setup);
  FrameArrival(const FrameArrival&) = delete;
  FrameArrival& operator=(const FrameArrival&) = delete;

  const FrameHandlerSetup& setup() const { return setup_; }

 private:
  friend void on_frame_arrived(FrameArrival& state, ArrivedFrame& frame);

  FrameHandlerSetup setup_;
  std::mutex pacing_mutex_;  // before the ring's
  Pacer pacer_;
  std::mutex converter_mutex_;  // taken alone
};

// One frame taken from the pool. Every outcome is a drop or a send; nothing
// fails out of here.
void on_frame_arrived(FrameArrival& state, ArrivedFrame& frame);

}  // namespace orvelle::clips
