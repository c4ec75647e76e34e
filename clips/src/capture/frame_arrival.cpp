#include "capture/frame_arrival.h"

#include <utility>

namespace orvelle::clips {

FrameArrival::FrameArrival(FrameHandlerSetup setup)
    : setup_(std::move(setup)), pacer_(setup_.interval) {}

void on_frame_arrived(FrameArrival& state, ArrivedFrame& frame) {
  FrameHandlerSetup& s = state.setup_;
  CaptureStats& stats = *s.stats;
  count(stats.captured);

  std::optional<Ticks> t = frame.time();
  if (!t) return;
  if (frame.content_size() != s.expected) {
    count(stats.size_skip);
    return;
  }

  Ticks clip_time{0};
  {
    std::lock_guard pacing(state.pacing_mutex_);
    if (state.pacer_.starts(*t)) start_ring(*s.ring, *t);
    if (state.pacer_.early(*t)) {
      count(stats.paced_out);
      return;
    }
    // A frame the timeline drops (the window still minimised, or inside a
    // pause) leaves the grid where it was.
    std::optional<Ticks> placed = time_video_frame(*s.ring, *t, s.interval, s.window);
    if (!placed) return;
    clip_time = *placed;
    state.pacer_.advance(*t);
  }

  if (s.in_flight->value() > kMaxFramesInFlight) {
    count(stats.busy_drop);
    return;
  }
  if (!s.converter) return;  // --stage capture: only counted

  Result<FrameTexture> captured = frame.texture();
  if (!captured) return;
  Result<FrameTexture> converted = [&] {
    std::lock_guard lock(state.converter_mutex_);
    return s.converter->convert(*captured);
  }();
  if (!converted || !s.send) return;  // --stage convert: converted and let go

  // Counted before the send: the encoder may take the frame out and emit its
  // picture before send returns.
  s.in_flight->add();
  switch (s.sender.send(CapturedFrame{std::move(*converted), clip_time, s.interval})) {
    case SendResult::sent:
      count(stats.sent);
      return;
    case SendResult::full:
      s.in_flight->remove();
      count(stats.busy_drop);
      return;
    case SendResult::disconnected:  // the encoder thread ended
      s.in_flight->remove();
      return;
  }
}

}  // namespace orvelle::clips
