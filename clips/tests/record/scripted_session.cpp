#include "record/scripted_session.h"

#include "common/console.h"

#include <gtest/gtest.h>

namespace orvelle::clips::scripted {

void Clock::at(Ticks when, std::function<void()> action) {
  actions_.emplace(when, std::move(action));
}

bool Clock::run_next(Ticks until) {
  if (actions_.empty() || actions_.begin()->first > until) return false;
  auto node = actions_.extract(actions_.begin());
  now_ = std::max(now_, node.key());
  node.mapped()();
  return true;
}

void Clock::advance_to(Ticks t) {
  while (run_next(t)) {
  }
  now_ = std::max(now_, t);
  if (now_ > limit && !limit_hit_) {
    limit_hit_ = true;
    ADD_FAILURE() << "the session did not end";
    if (on_limit) on_limit();
  }
}

void Clock::sleep_for(Ticks wait) { advance_to(now_ + wait); }

RecvStatus Clock::receive_command(Receiver<Command>& commands, std::optional<Command>& out,
                                  Ticks wait) {
  const Ticks until = now_ + wait;
  for (;;) {
    RecvStatus got = commands.try_receive(out);
    if (got != RecvStatus::timeout) return got;
    if (!run_next(until)) break;
  }
  advance_to(until);
  return RecvStatus::timeout;
}

void Windows::search(GameWindowSearch& search) {
  ++searches;
  if (!window.present || !window.exists) return;
  search.found = true;
  search.window = kWindow;
}

void Capture::close() {
  events->push_back("close capture " + std::to_string(number));
  counters->readings.size_skip += size_skips_at_close;
}

Status Platform::start_runtime() {
  events.push_back("runtime");
  clock_.on_limit = [this] {
    windows_.window.exists = false;
    if (recording) recording->stop_flag->store(true);
  };
  if (failures.contains("runtime")) return error(failures["runtime"]);
  return {};
}

Result<GpuDescription> Platform::open_gpu(WindowHandle window) {
  EXPECT_EQ(window, kWindow);
  events.push_back("gpu");
  if (failures.contains("gpu")) return error(failures["gpu"]);
  return GpuDescription{"Fake GPU", 0x10de};
}

Status Platform::make_capture_device() {
  events.push_back("capture device");
  if (failures.contains("device")) return error(failures["device"]);
  return {};
}

RingPlatform Platform::ring_platform() {
  return {[this] { return kUnixEpochInFileTime + std::chrono::milliseconds(1'700'000'000'000) +
                          clock_.now(); },
          [this](WindowHandle) { return windows_.window.minimised; }};
}

CaptureRoad Platform::prepare_capture(const RecorderOptions&, WindowHandle window,
                                      const Recording& made) {
  EXPECT_EQ(window, kWindow);
  recording = made;
  events.push_back("prepare capture");
  auto shared_counters = std::shared_ptr<const CaptureCounters>(std::shared_ptr<void>(), &counters);
  return {std::make_unique<Factory>(*this), shared_counters};
}

Result<std::unique_ptr<RunningCapture>> Platform::Factory::start() {
  Platform& p = platform;
  ++started;
  p.events.push_back("start capture " + std::to_string(started));
  if (!p.capture_starts.empty()) {
    auto outcome = p.capture_starts.front();
    p.capture_starts.pop_front();
    if (outcome) return error(*outcome);
  }
  auto capture = std::make_unique<Capture>();
  capture->number = started;
  capture->size = p.windows_.window.client.value_or(Size{});
  capture->bits = 4'444'444;
  capture->events = &p.events;
  capture->counters = &p.counters;
  capture->size_skips_at_close = p.size_skips_at_close;
  p.current = capture.get();
  return std::unique_ptr<RunningCapture>(std::move(capture));
}

Result<SoundTracks> Platform::start_sound(const RecorderOptions&, const Recording&) {
  events.push_back("sound");
  if (failures.contains("sound")) return error(failures["sound"]);
  return sound;
}

void Platform::start_command_reader(Sender<Command> commands, SharedOutput, StopFlag stop_flag) {
  events.push_back("stdin");
  stdin_sender = std::move(commands);
  stdin_stop_flag = std::move(stop_flag);
}

void Platform::send(Command command) {
  ASSERT_EQ(stdin_sender.send(std::move(command)), SendResult::sent);
}

void Platform::end_of_input() {
  stdin_stop_flag->store(true);
  stdin_sender.reset();
}

Lines::Lines(Clock& clock) {
  set_line_writer([this, &clock](Stream s, std::string_view text) {
    lines_.push_back({clock.now(), s == Stream::out ? "out" : "err", std::string(text)});
  });
}

Lines::~Lines() { set_line_writer(nullptr); }

std::vector<std::string> Lines::with(std::string_view part) const {
  std::vector<std::string> found;
  for (const Line& l : lines_)
    if (l.text.find(part) != std::string::npos) found.push_back(l.text);
  return found;
}

std::optional<Ticks> Lines::first(std::string_view part) const {
  for (const Line& l : lines_)
    if (l.text.find(part) != std::string::npos) return l.at;
  return std::nullopt;
}

std::string Lines::text() const {
  std::string out;
  for (const Line& l : lines_)
    out += std::to_string(whole_milliseconds(l.at)) + " " + l.stream + ": " + l.text + "\n";
  return out;
}

RecorderOptions options(std::vector<std::string> args) {
  return std::get<RecorderOptions>(parse_recorder_options(args));
}

}  // namespace orvelle::clips::scripted
