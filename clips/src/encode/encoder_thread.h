#pragma once
// The "encoder" thread of one capture session: it answers the transform's
// events, feeds it the frames of the frame channel and moves every encoded
// picture into the ring, counted.
//
// Shared with other threads: the frame channel (the handler sends, never
// blocking), the session's InFlight, the CaptureStats atomics, the stop
// flag, and the ring, whose mutex is held only to append a picture.

#include "common/media_time.h"
#include "encode/capture_stats.h"
#include "encode/captured_frame.h"
#include "encode/transform.h"
#include "ring/ring.h"
#include "shared/events.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace orvelle::clips {

// How long a wait for input lasts before the stop flag is looked at again.
inline constexpr std::chrono::milliseconds kFrameWaitSlice{200};
// How long ending a session waits for its encoder thread. A thread that has
// not ended by then (a transform that answers nothing, not even its shut
// down) is left to end on its own: it holds only shared state.
inline constexpr std::chrono::milliseconds kEncoderJoinLimit{2000};

using StopFlag = std::shared_ptr<std::atomic<bool>>;

// What the thread owns for its life.
struct EncoderThreadState {
  std::shared_ptr<EncoderTransform> transform;
  FrameReceiver frames;
  StopFlag stop;
  std::shared_ptr<Ring> ring;
  std::shared_ptr<CaptureStats> stats;
  std::shared_ptr<InFlight> in_flight;
  SharedOutput output;
};

// The event loop. Ends without error on the stop flag or when the frame
// handler is gone; otherwise with the error that ended it.
Status run_encoder_loop(EncoderThreadState& state);

// The thread's body: the loop, then, for an error that stopping the session
// did not cause, the "status" error event "encoder: {}". Returning releases
// the transform and closes the frame channel.
void run_encoder_thread(EncoderThreadState state);

// The thread runs detached; ending it means seeing it signal its end, after
// it has let go of everything it held.
class EncoderThread {
 public:
  EncoderThread() = default;  // no encoder runs
  EncoderThread(EncoderThread&&) noexcept = default;
  EncoderThread& operator=(EncoderThread&& o) noexcept;
  // Stops the thread if it still runs.
  ~EncoderThread();

  // A thread was started and not yet stopped.
  explicit operator bool() const { return ended_ != nullptr; }

  // Sets the stop flag, shuts the transform down so that a blocked wait
  // returns, and waits at most limit for the thread. True when it ended.
  bool stop(std::chrono::milliseconds limit = kEncoderJoinLimit);

 private:
  friend EncoderThread spawn_encoder_thread(EncoderThreadState state);
  struct Ended {
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
  };

  std::shared_ptr<EncoderTransform> transform_;
  StopFlag stop_;
  std::shared_ptr<Ended> ended_;
};

// Starts run_encoder_thread on a thread named "encoder"; a thread that cannot
// be started ends the process ("encoder thread").
EncoderThread spawn_encoder_thread(EncoderThreadState state);

}  // namespace orvelle::clips
