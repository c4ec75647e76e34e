#include "encode/encoder_thread.h"

#include "common/threads.h"

#include <optional>
#include <utility>

namespace orvelle::clips {
namespace {

bool stopping(const EncoderThreadState& s) { return s.stop->load(std::memory_order_acquire); }

// Each encoded picture: copied once out of the transform's buffer into
// storage the ring and every save share, counted, and appended.
class RingSink final : public EncodedPictureSink {
 public:
  explicit RingSink(EncoderThreadState& state) : s_(state) {}

  void take(const EncodedPicture& picture) override {
    // A thread that outlived its bounded join returns from the driver after
    // the session cleared the ring for the next capture: its picture, and
    // the old size's sequence header it may carry, belong to no clip.
    if (stopping(s_)) return;
    Packet packet{share_bytes(picture.bytes), picture.bytes.size(), picture.time, picture.duration,
                  picture.key};
    count(s_.stats->packets);
    count(s_.stats->bytes, packet.len);
    if (packet.key) count(s_.stats->keyframes);
    s_.in_flight->remove();
    append_video_packet(*s_.ring, std::move(packet));
  }

 private:
  EncoderThreadState& s_;
};

// The transform asked for input: the next frame, waited for in slices so the
// stop flag is seen. Nothing when the session stops or the handler is gone.
std::optional<CapturedFrame> next_frame(EncoderThreadState& s) {
  std::optional<CapturedFrame> frame;
  for (;;) {
    switch (s.frames.receive_for(frame, kFrameWaitSlice)) {
      case RecvStatus::value: return frame;
      case RecvStatus::disconnected: return std::nullopt;
      case RecvStatus::timeout:
        if (stopping(s)) return std::nullopt;
        break;
    }
  }
}

}  // namespace

Status run_encoder_loop(EncoderThreadState& s) {
  RingSink sink(s);
  EncoderTransform& transform = *s.transform;
  while (!stopping(s)) {
    Result<TransformEvent> event = transform.next_event();
    if (!event) return error(event.error());
    switch (event->kind) {
      case TransformEventKind::need_input: {
        std::optional<CapturedFrame> frame = next_frame(s);
        if (!frame) return {};
        if (Status given = transform.give_input(std::move(*frame)); !given) return given;
        break;
      }
      case TransformEventKind::have_output: {
        Result<OutputOutcome> output = transform.take_output(sink);
        if (!output) return error(output.error());
        if (*output == OutputOutcome::stream_change) {
          if (Status renegotiated = transform.renegotiate(); !renegotiated) return renegotiated;
        }
        break;
      }
      case TransformEventKind::error:
        return error(WinError{event->status, {}});
      case TransformEventKind::other:
        break;
    }
  }
  return {};
}

void run_encoder_thread(EncoderThreadState state) {
  Status outcome = run_encoder_loop(state);
  // Ending the session shuts the transform down under a waiting thread; the
  // error that follows is the session's end, not the encoder's failure.
  if (!outcome && !stopping(state))
    emit_event(state.output->json, Json{{"event", "status"},
                                        {"state", "error"},
                                        {"message", "encoder: " + outcome.error().text()}});
}

EncoderThread& EncoderThread::operator=(EncoderThread&& o) noexcept {
  if (this != &o) {
    stop();
    transform_ = std::move(o.transform_);
    stop_ = std::move(o.stop_);
    ended_ = std::move(o.ended_);
  }
  return *this;
}

EncoderThread::~EncoderThread() { stop(); }

bool EncoderThread::stop(std::chrono::milliseconds limit) {
  if (!ended_) return true;
  stop_->store(true, std::memory_order_release);
  transform_->shut_down();
  bool ended;
  {
    std::unique_lock lock(ended_->mutex);
    ended = ended_->done.wait_for(lock, limit, [&] { return ended_->ended; });
  }
  ended_.reset();
  transform_.reset();
  return ended;
}

EncoderThread spawn_encoder_thread(EncoderThreadState state) {
  EncoderThread t;
  t.transform_ = state.transform;
  t.stop_ = state.stop;
  t.ended_ = std::make_shared<EncoderThread::Ended>();
  spawn_detached(
      "encoder",
      [state = std::move(state), ended = t.ended_]() mutable {
        run_encoder_thread(std::move(state));  // lets everything go before it returns
        {
          std::lock_guard lock(ended->mutex);
          ended->ended = true;
        }
        ended->done.notify_all();
      },
      "encoder thread");
  return t;
}

}  // namespace orvelle::clips
