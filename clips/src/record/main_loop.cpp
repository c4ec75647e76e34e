#include "record/main_loop.h"

#include "common/console.h"
#include "record/resize_watch.h"
#include "record/saves.h"
#include "record/statistics.h"

#include <fmt/format.h>

#include <algorithm>

namespace orvelle::clips {
namespace {

constexpr Ticks kCycle = std::chrono::milliseconds(100);
constexpr Ticks kTick = std::chrono::seconds(1);
// The process exits right after the session: a clip still being written
// would be cut off and its event lost, so it gets this long to finish.
constexpr Ticks kSaveGrace = std::chrono::seconds(10);
constexpr Ticks kSavePoll = std::chrono::milliseconds(20);

enum class Next { go_on, end, window_gone };

class MainLoop {
 public:
  explicit MainLoop(LoopParts parts)
      : p_(std::move(parts)), last_tick_(p_.started), resize_(p_.started) {}

  void run() {
    Next next = p_.recording.stop_flag->load() ? Next::end : Next::go_on;
    while (next == Next::go_on) next = cycle();
    end(next == Next::window_gone);
  }

 private:
  bool json() const { return p_.recording.output->json; }

  Next cycle() {
    std::optional<Command> command;
    if (p_.clock.receive_command(p_.commands, command, kCycle) == RecvStatus::value &&
        handle(std::move(*command)) == Next::end)
      return Next::end;
    follow_minimise();
    const Ticks now = p_.clock.now();
    if (now - last_tick_ >= kTick) {
      if (Next next = tick(now); next != Next::go_on) return next;
    }
    return p_.recording.stop_flag->load() ? Next::end : Next::go_on;
  }

  Next handle(Command command) {
    if (auto* save = std::get_if<SaveCommand>(&command)) {
      request_save(std::move(*save),
                   {p_.recording, p_.sound, *p_.capture, p_.options.fps, p_.saves});
    } else if (auto* seconds = std::get_if<SecondsCommand>(&command)) {
      set_seconds(p_.recording, seconds->seconds);
    } else if (auto* volume = std::get_if<MicvolumeCommand>(&command)) {
      set_mic_volume(p_.recording, volume->volume);
    } else {
      return Next::end;  // stop
    }
    return Next::go_on;
  }

  // Both lines go out on every change, whether or not the ring runs yet.
  void follow_minimise() {
    const bool minimised = p_.windows.minimised(p_.window);
    if (minimised == minimised_) return;
    minimised_ = minimised;
    if (minimised) {
      pause_ring(*p_.recording.ring, p_.clock.capture_time());
      emit_log(json(), "window minimised: clip paused");
    } else {
      mark_resume(*p_.recording.ring);
      emit_log(json(), "window restored: clip goes on");
    }
  }

  Next tick(Ticks now) {
    last_tick_ = now;
    ++ticks_;
    const auto whole_seconds = std::chrono::duration_cast<std::chrono::seconds>(now - p_.started);
    if (p_.options.duration &&
        static_cast<std::uint64_t>(std::max<std::int64_t>(whole_seconds.count(), 0)) >=
            *p_.options.duration)
      return Next::end;
    if (!p_.windows.exists(p_.window)) {
      p_.recording.stop_flag->store(true);
      p_.capture->close();
      emit_event(json(), Json{{"event", "ended"}, {"reason", "the game window closed"}});
      return Next::window_gone;
    }
    const std::uint64_t size_skip = p_.road.counters->size_skip();
    if (restart_if_resized(size_skip, now)) return Next::go_on;
    CounterReadings readings = p_.road.counters->read();
    readings.size_skip = size_skip;
    const std::string mic = p_.recording.mic_status->text();
    report_status(readings, mic);
    if (!p_.options.quiet && !json())
      write_line(Stream::err, statistics_line(ticks_, readings, previous_, p_.capture->in_flight(),
                                              buffer_seconds(*p_.recording.ring)));
    previous_ = readings;
    return Next::go_on;
  }

  // True when the capture was restarted: the rest of the tick is skipped.
  bool restart_if_resized(std::uint64_t size_skip, Ticks now) {
    if (!resize_.restart_due(can_record(p_.windows, p_.window), size_skip, now)) return false;
    emit_log(json(), "the window changed size; restarting the capture");
    auto next = p_.road.factory->start();
    if (next) {
      p_.capture->close();
      clear_ring(*p_.recording.ring);
      p_.capture = std::move(*next);
      resize_.restarted(p_.road.counters->size_skip());
      status_sent_ = false;
      return true;
    }
    resize_.failed(p_.clock.now());
    const std::string text = next.error().text();
    if (status_since_failure_) {
      emit_event(json(), Json{{"event", "status"},
                              {"state", "error"},
                              {"message", fmt::format("restart after resize: {}", text)}});
    } else {
      emit_log(json(), fmt::format("restart after resize failed again: {}", text));
    }
    status_sent_ = false;
    status_since_failure_ = false;
    return false;
  }

  // The status goes out once per capture, when its packets flow; later
  // microphone changes get lines of their own.
  void report_status(const CounterReadings& readings, const std::string& mic) {
    if (!status_sent_) {
      if (readings.packets <= previous_.packets) return;
      const Size size = p_.capture->frame_size();
      emit_event(json(), Json{{"event", "status"},
                              {"state", "recording"},
                              {"width", size.width},
                              {"height", size.height},
                              {"fps", p_.options.fps},
                              {"codec", p_.capture->codec()},
                              {"audio", p_.sound.mix ? "aac" : ""},
                              {"title", p_.title},
                              {"bitrate", p_.capture->bitrate()},
                              {"mic", mic},
                              {"gameTrack", p_.sound.game != nullptr}});
      status_sent_ = true;
      status_since_failure_ = true;
      reported_mic_ = mic;
    } else if (mic != reported_mic_) {
      emit_log(json(), fmt::format("microphone: {}", mic));
      emit_event(json(), Json{{"event", "mic"}, {"state", mic}});
      reported_mic_ = mic;
    }
  }

  void end(bool capture_closed) {
    if (!capture_closed) {
      p_.recording.stop_flag->store(true);
      p_.capture->close();
    }
    const Ticks elapsed = p_.clock.now() - p_.started;
    const CounterReadings totals = p_.road.counters->read();
    wait_for_save();
    if (!json()) write_line(Stream::err, total_line(elapsed, totals));
  }

  void wait_for_save() {
    const Ticks until = p_.clock.now() + kSaveGrace;
    while (p_.recording.saving_flag->load() && p_.clock.now() < until)
      p_.clock.sleep_for(kSavePoll);
  }

  LoopParts p_;
  bool minimised_ = false;
  Ticks last_tick_;
  std::uint64_t ticks_ = 0;
  CounterReadings previous_;
  ResizeWatch resize_;
  bool status_sent_ = false;           // for the current capture
  bool status_since_failure_ = false;  // since the last failed restart
  std::string reported_mic_;
};

}  // namespace

void run_main_loop(LoopParts parts) { MainLoop(std::move(parts)).run(); }

}  // namespace orvelle::clips
