#pragma once
// The encoder as the "encoder" thread drives it: an asynchronous transform
// that asks for input and announces output through events. The Windows
// hardware H.264 transform and the simulation's encoder both stand behind
// this, so one loop (encoder_thread.h) serves both.

#include "common/media_time.h"
#include "common/win_error.h"
#include "encode/captured_frame.h"

#include <cstdint>
#include <span>

namespace orvelle::clips {

enum class TransformEventKind {
  need_input,   // give_input once, with the next frame
  have_output,  // take_output once
  error,        // the transform failed; status holds its code
  other,        // anything else: ignored
};

struct TransformEvent {
  TransformEventKind kind = TransformEventKind::other;
  std::uint32_t status = 0;  // an error event's result code
};

// One encoded picture. The bytes are the transform's own and valid only
// while the sink's take runs: the loop makes the one copy into shared
// storage there.
struct EncodedPicture {
  std::span<const std::uint8_t> bytes;
  Ticks time{0};      // 0 when the output has none
  Ticks duration{0};  // 0 when the output has none
  bool key = false;   // false when unreadable
};

class EncodedPictureSink {
 public:
  virtual void take(const EncodedPicture& picture) = 0;

 protected:
  ~EncodedPictureSink() = default;
};

enum class OutputOutcome {
  picture,        // one picture went to the sink
  none,           // the output step gave nothing
  stream_change,  // the output type must be negotiated again (renegotiate)
};

class EncoderTransform {
 public:
  virtual ~EncoderTransform() = default;

  // Waits for the next event, without a time limit. Once shut_down has run
  // it fails, at once or at the latest when the wait would have ended.
  virtual Result<TransformEvent> next_event() = 0;
  // One converted picture in, at the frame's clip time and duration.
  virtual Status give_input(CapturedFrame frame) = 0;
  // One output out; a picture is handed to sink before this returns.
  virtual Result<OutputOutcome> take_output(EncodedPictureSink& sink) = 0;
  // After a stream change: the first output type the transform offers.
  virtual Status renegotiate() = 0;
  // From any thread, when the session ends: a blocked next_event returns.
  virtual void shut_down() = 0;
};

}  // namespace orvelle::clips
