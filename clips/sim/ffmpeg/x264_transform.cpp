#include "sim/ffmpeg/x264_transform.h"

#include "sim/ffmpeg/textures.h"

namespace orvelle::clips::sim {

Result<TransformEvent> X264Transform::next_event() {
  if (shut_down_.load(std::memory_order_acquire))
    return error(fail("the encoder was shut down", hresult::kShutdown));
  if (!ready_) {
    auto out = encoder_->receive();
    if (!out) return error(out.error());
    ready_ = *out;
  }
  return TransformEvent{ready_ ? TransformEventKind::have_output : TransformEventKind::need_input};
}

Status X264Transform::give_input(CapturedFrame frame) {
  return encoder_->send(converted_picture(frame.texture), frame.time, frame.duration);
}

Result<OutputOutcome> X264Transform::take_output(EncodedPictureSink& sink) {
  if (!ready_) return OutputOutcome::none;
  sink.take({ready_->bytes, ready_->time, ready_->duration, ready_->key});
  ready_.reset();
  return OutputOutcome::picture;
}

}  // namespace orvelle::clips::sim
