#pragma once
// What the record session asks of the platform: the Windows layer gives it
// the real clock, windows, GPU, capture, sound and writer threads; the
// simulation and the tests give it their own. The session's whole course,
// from the window search to the end, runs in the core over these.

#include "capture/window_search.h"
#include "common/channel.h"
#include "common/geometry.h"
#include "common/media_time.h"
#include "common/win_error.h"
#include "mp4/clip_job.h"
#include "record/capture_counters.h"
#include "record/commands.h"
#include "record/recording.h"
#include "shared/options.h"
#include "shared/window_handle.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orvelle::clips {

// Time as the session sees it.
class SessionClock {
 public:
  virtual ~SessionClock() = default;
  // A steady instant for the session's waits, ticks and deadlines.
  virtual Ticks now() = 0;
  // The clock frames and sound are stamped with (the pause instant of a
  // minimise is taken on it).
  virtual Ticks capture_time() = 0;
  virtual void sleep_for(Ticks wait) = 0;
  // Waits at most `wait` for the next command; returns at once when one is
  // queued or every sender is gone.
  virtual RecvStatus receive_command(Receiver<Command>& commands, std::optional<Command>& out,
                                     Ticks wait) = 0;
};

// The desktop's windows.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // One pass over the top-level windows with the search's filters.
  virtual void search(GameWindowSearch& search) = 0;
  virtual bool exists(WindowHandle window) = 0;
  virtual bool minimised(WindowHandle window) = 0;
  // The client area; absent when it cannot be read.
  virtual std::optional<Size> client_size(WindowHandle window) = 0;
  // As UTF-8, unpaired surrogates replaced.
  virtual std::string title(WindowHandle window) = 0;
};

// The smallest client area worth recording.
inline constexpr Size kMinRecordSize{160, 90};

// Not minimised, and a client area that can be read and is large enough.
inline bool can_record(WindowSystem& windows, WindowHandle window) {
  if (windows.minimised(window)) return false;
  const auto size = windows.client_size(window);
  return size && size->width >= kMinRecordSize.width && size->height >= kMinRecordSize.height;
}

// One running capture of the game window: frames, conversion and encoder.
// A resize restart replaces it with a new one.
class RunningCapture {
 public:
  // A capture still running when it is let go is closed first.
  virtual ~RunningCapture() = default;
  virtual Size frame_size() const = 0;     // the encode size
  virtual std::uint32_t bitrate() const = 0;  // bit/s in use
  virtual std::string codec() const = 0;      // the encoder's name
  // Frames handed to this capture's encoder whose packets have not come out.
  virtual std::uint64_t in_flight() const = 0;
  // Stops the capture and waits for its encoder; once.
  virtual void close() = 0;
};

class CaptureFactory {
 public:
  virtual ~CaptureFactory() = default;
  // Starts capturing the game window into the ring, at the session's start
  // and again after each resize.
  virtual Result<std::unique_ptr<RunningCapture>> start() = 0;
};

// Everything the capture of one window needs for the whole recording.
struct CaptureRoad {
  std::unique_ptr<CaptureFactory> factory;
  std::shared_ptr<const CaptureCounters> counters;  // shared by every capture
};

// The graphics adapter that shows the window, as the log names it.
struct GpuDescription {
  std::string description;
  std::uint32_t vendor = 0;  // PCI vendor id
};

// Starts one "writer" thread per accepted save; a failed start ends the
// process.
class SaveLauncher {
 public:
  virtual ~SaveLauncher() = default;
  virtual void launch(SaveJob job) = 0;
};

class RecordPlatform {
 public:
  virtual ~RecordPlatform() = default;
  virtual SessionClock& clock() = 0;
  virtual WindowSystem& windows() = 0;
  // COM and Media Foundation for the session's thread.
  virtual Status start_runtime() = 0;
  virtual void lower_priority() = 0;
  // Chooses the adapter that shows the window and makes the device every
  // capture of this recording runs on.
  virtual Result<GpuDescription> open_gpu(WindowHandle window) = 0;
  // The same device as the capture frame pool takes it.
  virtual Status make_capture_device() = 0;
  virtual RingPlatform ring_platform() = 0;
  virtual CaptureRoad prepare_capture(const RecorderOptions& options, WindowHandle window,
                                      const Recording& recording) = 0;
  // Only with --audio or --mic.
  virtual Result<SoundTracks> start_sound(const RecorderOptions& options,
                                          const Recording& recording) = 0;
  // The stdin thread (not with --duration), detached.
  virtual void start_command_reader(Sender<Command> commands, SharedOutput output,
                                    StopFlag stop_flag) = 0;
  virtual SaveLauncher& saves() = 0;
};

}  // namespace orvelle::clips
