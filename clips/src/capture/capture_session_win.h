#pragma once
// A running capture of one game window (Windows only): the capture item, the
// free-threaded frame pool with the program's frame handler, the capture
// session and, when an encoder runs, the "encoder" thread. start_capture
// builds it; close_capture_session ends it, once, from any thread.

#include "capture/frame_handler_win.h"
#include "capture/gpu_adapter_win.h"
#include "common/win/capture.h"
#include "common/win/com_ptr.h"
#include "common/win_error.h"
#include "encode/capture_stats.h"
#include "encode/encoder_thread.h"
#include "ring/ring.h"
#include "shared/events.h"
#include "shared/options.h"
#include "shared/window_handle.h"

#include <d3d11.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace orvelle::clips {

// What close ends: the pool, the session, the handler and the encoder
// thread. The capture start fills it as it goes, so a start that fails half
// way closes what it made; the last holder to let go closes what still runs.
class CaptureRun {
 public:
  CaptureRun() = default;
  CaptureRun(const CaptureRun&) = delete;
  CaptureRun& operator=(const CaptureRun&) = delete;
  ~CaptureRun() { close(); }

  // Once, from any thread: stops the encoder's waits, closes the session and
  // then the pool, and waits for the encoder thread (bounded).
  void close();

  win::ComPtr<win::IGraphicsCaptureItem> item;
  win::ComPtr<win::IDirect3D11CaptureFramePool> pool;
  win::ComPtr<FrameArrivedHandler> handler;
  win::ComPtr<win::IGraphicsCaptureSession> session;
  StopFlag stop = std::make_shared<std::atomic<bool>>(false);
  EncoderThread encoder;

 private:
  std::once_flag closed_;
};

struct CaptureSession {
  std::string codec;  // the encoder's name; "none" without an encoder
  std::uint32_t width = 0, height = 0;  // the encode size
  std::uint32_t bitrate = 0;            // the scaled bitrate, bit/s
  // This session's frames in flight, for the statistics line.
  std::shared_ptr<const InFlight> in_flight;
  std::shared_ptr<CaptureRun> run;
};

// Starts capturing window. Every error is returned, none printed.
Result<CaptureSession> start_capture(const RecorderOptions& options, WindowHandle window,
                                     const GpuAdapter& gpu, std::shared_ptr<Ring> ring,
                                     std::shared_ptr<CaptureStats> stats, SharedOutput output);

// Where the capture item and the frame pool come from: the system's
// Windows.Graphics.Capture, or a test's own objects where the system has none.
struct CaptureActivation {
  std::function<Result<win::ComPtr<win::IGraphicsCaptureItem>>(HWND window)> item;
  std::function<Result<win::ComPtr<win::IDirect3D11CaptureFramePoolStatics2>>()> frame_pools;
};
CaptureActivation system_capture_activation();

Result<CaptureSession> start_capture(const CaptureActivation& activation,
                                     const RecorderOptions& options, WindowHandle window,
                                     const GpuAdapter& gpu, std::shared_ptr<Ring> ring,
                                     std::shared_ptr<CaptureStats> stats, SharedOutput output);

// Stops the encoder thread, closes the capture session and the frame pool
// and waits for the encoder thread (at most kEncoderJoinLimit). Only the
// first call does anything; any thread may make it.
void close_capture_session(CaptureSession& session);

}  // namespace orvelle::clips
