#pragma once
// An encoder transform that answers from a script: the events it announces
// and the outputs it gives, in order. It keeps what it was given, and can
// be told to ignore its shut down, like a transform stuck in a driver.

#include "encode/transform.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

namespace orvelle::clips {

class ScriptedTransform final : public EncoderTransform {
 public:
  struct Picture {
    std::vector<std::uint8_t> bytes;
    Ticks time{0}, duration{0};
    bool key = false;
  };
  struct StreamChange {};
  struct Nothing {};
  using Output = std::variant<Picture, StreamChange, Nothing, WinError>;

  void announce(TransformEvent event, int times = 1) {
    {
      std::lock_guard lock(mutex_);
      for (int i = 0; i < times; ++i) events_.push_back(event);
    }
    changed_.notify_all();
  }
  void output(Output o) {
    std::lock_guard lock(mutex_);
    outputs_.push_back(std::move(o));
  }

  std::optional<WinError> event_error, input_error, renegotiate_error;
  bool ignore_shut_down = false;
  // Runs inside take_output before the sink gets the picture: what happens
  // while the driver is in the call.
  std::function<void()> during_output;

  Result<TransformEvent> next_event() override {
    std::unique_lock lock(mutex_);
    ++waits_;
    changed_.wait(lock, [&] { return !events_.empty() || (shut_ && !ignore_shut_down); });
    if (events_.empty()) return error(WinError{0xC00D3E85u, "shut down"});
    if (event_error) return error(*event_error);
    TransformEvent e = events_.front();
    events_.pop_front();
    return e;
  }
  Status give_input(CapturedFrame frame) override {
    std::lock_guard lock(mutex_);
    if (input_error) return error(*input_error);
    input_times_.push_back(frame.time);
    return {};
  }
  Result<OutputOutcome> take_output(EncodedPictureSink& sink) override {
    Output o;
    {
      std::lock_guard lock(mutex_);
      if (outputs_.empty()) return OutputOutcome::none;
      o = std::move(outputs_.front());
      outputs_.pop_front();
    }
    if (auto* e = std::get_if<WinError>(&o)) return error(*e);
    if (std::holds_alternative<StreamChange>(o)) return OutputOutcome::stream_change;
    if (std::holds_alternative<Nothing>(o)) return OutputOutcome::none;
    const Picture& p = std::get<Picture>(o);
    if (during_output) during_output();
    sources_.push_back(p.bytes.data());
    sink.take({p.bytes, p.time, p.duration, p.key});
    kept_.push_back(std::get<Picture>(std::move(o)));  // the bytes stay where they were
    return OutputOutcome::picture;
  }
  Status renegotiate() override {
    std::lock_guard lock(mutex_);
    ++renegotiations_;
    if (renegotiate_error) return error(*renegotiate_error);
    return {};
  }
  void shut_down() override {
    {
      std::lock_guard lock(mutex_);
      shut_ = true;
    }
    changed_.notify_all();
  }

  std::vector<Ticks> input_times() {
    std::lock_guard lock(mutex_);
    return input_times_;
  }
  // How often next_event was entered.
  int waits() {
    std::lock_guard lock(mutex_);
    return waits_;
  }
  int renegotiations() {
    std::lock_guard lock(mutex_);
    return renegotiations_;
  }
  // Where each picture's bytes lay while the sink had them.
  const std::vector<const std::uint8_t*>& sources() const { return sources_; }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TransformEvent> events_;
  std::deque<Output> outputs_;
  std::vector<Ticks> input_times_;
  std::vector<Picture> kept_;
  std::vector<const std::uint8_t*> sources_;
  int renegotiations_ = 0;
  int waits_ = 0;
  bool shut_ = false;
};

}  // namespace orvelle::clips
