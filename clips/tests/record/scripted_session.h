#pragma once
// A scripted world for the record session: a clock that moves only while
// the session waits, running the script's actions at their instants; a game
// window, captures, counters and sound that the script changes; saves that
// are only kept. Every line the session prints is caught with the instant
// it was printed at.

#include "record/session.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orvelle::clips::scripted {

inline constexpr Ticks kMs = kTicksPerMillisecond;
inline constexpr Ticks kSecond = kTicksPerSecond;
inline const WindowHandle kWindow = reinterpret_cast<WindowHandle>(0x4242);

class Clock final : public SessionClock {
 public:
  Ticks now() override { return now_; }
  // The capture clock runs apart from the steady one, as the performance
  // counter does from the session's instants.
  Ticks capture_time() override { return now_ + kCaptureOffset; }
  void sleep_for(Ticks wait) override;
  RecvStatus receive_command(Receiver<Command>& commands, std::optional<Command>& out,
                             Ticks wait) override;

  // Runs action once the clock reaches when; actions at one instant run in
  // the order they were added.
  void at(Ticks when, std::function<void()> action);
  // Called once when the clock passes the limit, so a session that would
  // never end fails its test instead.
  std::function<void()> on_limit;
  Ticks limit = std::chrono::hours(2);

  static constexpr Ticks kCaptureOffset = std::chrono::seconds(5000);

 private:
  // Runs the next action due by until; false when there is none.
  bool run_next(Ticks until);
  void advance_to(Ticks t);

  Ticks now_{0};
  std::multimap<Ticks, std::function<void()>> actions_;
  bool limit_hit_ = false;
};

struct Window {
  bool present = true;  // found by the search
  bool exists = true;
  bool minimised = false;
  std::optional<Size> client = Size{1280, 720};
  std::string title = "Game \"Quest\"";
};

class Windows final : public WindowSystem {
 public:
  void search(GameWindowSearch& search) override;
  bool exists(WindowHandle w) override { return w == kWindow && window.exists; }
  bool minimised(WindowHandle) override { return window.minimised; }
  std::optional<Size> client_size(WindowHandle) override { return window.client; }
  std::string title(WindowHandle) override { return window.title; }

  Window window;
  int searches = 0;
};

struct Counters final : CaptureCounters {
  CounterReadings read() const override { return readings; }
  std::uint64_t size_skip() const override { return readings.size_skip; }
  CounterReadings readings;
};

struct Capture final : RunningCapture {
  Size frame_size() const override { return size; }
  std::uint32_t bitrate() const override { return bits; }
  std::string codec() const override { return "Fake H.264 Encoder"; }
  std::uint64_t in_flight() const override { return flight; }
  void close() override;

  int number = 0;  // 1 for the first capture of the session
  Size size;
  std::uint32_t bits = 0;
  std::uint64_t flight = 0;
  std::vector<std::string>* events = nullptr;
  // Frames of the old size that the capture counts while it is closed.
  std::uint64_t size_skips_at_close = 0;
  Counters* counters = nullptr;
};

struct NamedSound : SoundTrackType {
  explicit NamedSound(std::string n) : name(std::move(n)) {}
  std::string name;
};

class Platform final : public RecordPlatform {
 public:
  SessionClock& clock() override { return clock_; }
  WindowSystem& windows() override { return windows_; }
  Status start_runtime() override;
  void lower_priority() override { events.push_back("priority"); }
  Result<GpuDescription> open_gpu(WindowHandle window) override;
  Status make_capture_device() override;
  RingPlatform ring_platform() override;
  CaptureRoad prepare_capture(const RecorderOptions& options, WindowHandle window,
                              const Recording& recording) override;
  Result<SoundTracks> start_sound(const RecorderOptions& options,
                                  const Recording& recording) override;
  void start_command_reader(Sender<Command> commands, SharedOutput output,
                            StopFlag stop_flag) override;
  SaveLauncher& saves() override { return launcher_; }

  Clock& script() { return clock_; }
  Window& window() { return windows_.window; }
  int searches() const { return windows_.searches; }

  // Failures to hand out, by step: "runtime", "gpu", "device", "sound".
  std::map<std::string, WinError> failures;
  // The outcomes of capture starts, in turn; a success once they run out.
  std::deque<std::optional<WinError>> capture_starts;
  SoundTracks sound;
  std::vector<std::string> events;  // the platform calls, in order
  std::vector<SaveJob> jobs;
  Counters counters;  // what the running capture counts
  std::uint64_t size_skips_at_close = 0;
  // Set once the session has made them.
  std::optional<Recording> recording;
  Capture* current = nullptr;
  // The stdin thread's ends, as the session handed them over.
  Sender<Command> stdin_sender;
  StopFlag stdin_stop_flag;

  // The stdin thread's work, on the script's clock.
  void send(Command command);
  void end_of_input();

 private:
  struct Launcher final : SaveLauncher {
    explicit Launcher(Platform& p) : platform(p) {}
    void launch(SaveJob job) override { platform.jobs.push_back(std::move(job)); }
    Platform& platform;
  };
  struct Factory final : CaptureFactory {
    explicit Factory(Platform& p) : platform(p) {}
    Result<std::unique_ptr<RunningCapture>> start() override;
    Platform& platform;
    int started = 0;
  };

  Clock clock_;
  Windows windows_;
  Launcher launcher_{*this};
};

// One line as printed: its instant, "out" or "err", and its text.
struct Line {
  Ticks at;
  std::string stream;
  std::string text;
};

// Catches the lines for as long as it lives.
class Lines {
 public:
  explicit Lines(Clock& clock);
  ~Lines();
  std::vector<Line> all() const { return lines_; }
  // The texts that contain part, in order.
  std::vector<std::string> with(std::string_view part) const;
  // The instant of the first line that contains part; absent when none does.
  std::optional<Ticks> first(std::string_view part) const;
  std::string text() const;  // "stream: text" lines, for failure messages

 private:
  std::vector<Line> lines_;
};

// Options as the command line gives them: --title Game --json unless told.
RecorderOptions options(std::vector<std::string> args = {"--title", "Game", "--json"});

}  // namespace orvelle::clips::scripted
