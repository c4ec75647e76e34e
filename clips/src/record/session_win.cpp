#include "record/session_win.h"

#include "audio/sound_devices_win.h"
#include "capture/capture_session_win.h"
#include "capture/gpu_adapter_win.h"
#include "capture/window_search_win.h"
#include "common/utf.h"
#include "common/win/error.h"
#include "mp4/clip_writer_win.h"
#include "record/session.h"
#include "record/sound_start.h"
#include "record/stats_counters.h"
#include "record/writer_threads.h"
#include "ring/ring_win.h"

#include <windows.h>

#include <mfapi.h>

#include <algorithm>
#include <thread>

namespace orvelle::clips {
namespace {


// MF_VERSION of the Windows 7 SDK: every system since has it.
constexpr ULONG kMediaFoundationVersion = 0x20070;

HWND hwnd(WindowHandle window) { return static_cast<HWND>(window); }

// The performance counter, the clock frames and sound come with.
Ticks performance_time() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return ticks_from_counter(counter.QuadPart, std::max<std::int64_t>(frequency.QuadPart, 1));
}

class PerformanceClock final : public SessionClock {
 public:
  Ticks now() override { return performance_time(); }
  Ticks capture_time() override { return performance_time(); }
  void sleep_for(Ticks wait) override { std::this_thread::sleep_for(wait); }
  RecvStatus receive_command(Receiver<Command>& commands, std::optional<Command>& out,
                             Ticks wait) override {
    return commands.receive_for(out, wait);
  }
};

class DesktopWindows final : public WindowSystem {
 public:
  void search(GameWindowSearch& search) override { search_game_window(search); }
  bool exists(WindowHandle window) override { return IsWindow(hwnd(window)); }
  bool minimised(WindowHandle window) override { return IsIconic(hwnd(window)); }
  std::optional<Size> client_size(WindowHandle window) override {
    RECT r;
    if (!GetClientRect(hwnd(window), &r)) return std::nullopt;
    return Size{static_cast<std::uint32_t>(std::max<LONG>(r.right - r.left, 0)),
                static_cast<std::uint32_t>(std::max<LONG>(r.bottom - r.top, 0))};
  }
  std::string title(WindowHandle window) override { return utf16_to_utf8(window_title(hwnd(window))); }
};

// A capture session of capture/ as the record session drives it.
class WindowsCapture final : public RunningCapture {
 public:
  explicit WindowsCapture(CaptureSession session) : session_(std::move(session)) {}
  ~WindowsCapture() override { close_capture_session(session_); }

  Size frame_size() const override { return {session_.width, session_.height}; }
  std::uint32_t bitrate() const override { return session_.bitrate; }
  std::string codec() const override { return session_.codec; }
  std::uint64_t in_flight() const override {
    return session_.in_flight ? session_.in_flight->value() : 0;
  }
  void close() override { close_capture_session(session_); }

 private:
  CaptureSession session_;
};

// Every start, at the session's start and after each resize, captures the
// same window on the same adapter into the same ring and counters.
class WindowsCaptureFactory final : public CaptureFactory {
 public:
  WindowsCaptureFactory(const RecorderOptions& options, WindowHandle window, const GpuAdapter& gpu,
                        const Recording& recording, std::shared_ptr<CaptureStats> stats)
      : options_(options), window_(window), gpu_(gpu), ring_(recording.ring),
        output_(recording.output), stats_(std::move(stats)) {}

  Result<std::unique_ptr<RunningCapture>> start() override {
    auto session = start_capture(options_, window_, gpu_, ring_, stats_, output_);
    if (!session) return error(session.error());
    return std::make_unique<WindowsCapture>(std::move(*session));
  }

 private:
  RecorderOptions options_;
  WindowHandle window_;
  const GpuAdapter& gpu_;  // the platform's, which outlives every capture
  std::shared_ptr<Ring> ring_;
  SharedOutput output_;
  std::shared_ptr<CaptureStats> stats_;
};

class WindowsRecordPlatform final : public RecordPlatform {
 public:
  SessionClock& clock() override { return clock_; }
  WindowSystem& windows() override { return windows_; }

  Status start_runtime() override {
    if (HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED); FAILED(hr))
      return error(win::hresult_error(hr));
    return win::checked(MFStartup(kMediaFoundationVersion, MFSTARTUP_FULL));
  }

  // A failure leaves the priority as it was.
  void lower_priority() override { SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS); }

  Result<GpuDescription> open_gpu(WindowHandle window) override {
    auto gpu = open_gpu_adapter(hwnd(window));
    if (!gpu) return error(gpu.error());
    gpu_ = std::move(*gpu);
    return GpuDescription{gpu_.description, gpu_.vendor};
  }
  Status make_capture_device() override { return clips::make_capture_device(gpu_); }

  RingPlatform ring_platform() override { return system_ring_platform(); }

  CaptureRoad prepare_capture(const RecorderOptions& options, WindowHandle window,
                              const Recording& recording) override {
    auto stats = std::make_shared<CaptureStats>();
    return {std::make_unique<WindowsCaptureFactory>(options, window, gpu_, recording, stats),
            counters_of(stats)};
  }

  // The "audio" thread on WASAPI and the Media Foundation AAC encoder, when
  // the options ask for sound.
  Result<SoundTracks> start_sound(const RecorderOptions& options, const Recording& recording) override {
    return start_recording_sound(options, recording, windows_sound_platform());
  }

  void start_command_reader(Sender<Command> commands, SharedOutput output,
                            StopFlag stop_flag) override {
    start_stdin_commands(std::move(commands), std::move(output), std::move(stop_flag));
  }

  SaveLauncher& saves() override { return saves_; }

 private:
  PerformanceClock clock_;
  DesktopWindows windows_;
  GpuAdapter gpu_;
  WriterThreads saves_{write_clip_win};
};

}  // namespace

std::unique_ptr<RecordPlatform> windows_record_platform() {
  return std::make_unique<WindowsRecordPlatform>();
}

Status run_record_session_win(const RecorderOptions& options) {
  return run_record_session(options, *windows_record_platform());
}

}  // namespace orvelle::clips
