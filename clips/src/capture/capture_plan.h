#pragma once
// The decisions of starting a capture, apart from the platform that answers
// them: which part of the captured picture is encoded, at what size and
// bitrate, at what pacing interval, which stages run, and the lines logged.
// The Windows capture start (capture_session_win.cpp) reads the window's
// facts from the system; the simulation passes facts of its own.
//
// Every window measure is in physical pixels: the capture item always is,
// and the program declares per-monitor DPI awareness so that the window's
// frame and client rectangles are too. Mixed, the crop would come out scaled.

#include "capture/convert.h"
#include "common/geometry.h"
#include "common/media_time.h"
#include "common/win_error.h"
#include "shared/options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvelle::clips {

// What the window tells the capture start.
struct WindowGeometry {
  Size item;                          // the capture item's size (negative sides as 0)
  std::optional<Rect> frame;          // the extended frame bounds, else the window rectangle
  std::optional<Rect> client;         // the client rectangle (GetClientRect); absent on failure
  std::optional<Point> client_origin; // the client area's origin on the screen; absent on failure
};

// The part of the captured picture that is encoded.
struct CaptureArea {
  Size item;       // each side at least 1
  Point crop;      // the client area's origin inside the item; (0, 0) for the whole item
  Size available;  // the item from the crop on
  Size wanted;     // the client area, or the whole item
};

// The client area when it lies wholly inside the frame, else the whole item.
CaptureArea capture_area(const WindowGeometry& window);

inline constexpr std::uint32_t kMinEncodeWidth = 160;
inline constexpr std::uint32_t kMinEncodeHeight = 90;

// Each side: the wanted size (at least 2) within what is available, made
// even. Below 160 x 90: E_FAIL "the window is too small to record ({}x{})"
// with the even sizes.
Result<Size> encode_size(const CaptureArea& area);

// The bitrate scaled by the encode area against 1920 x 1080 and by the frame
// rate (x0.75 below 31 fps, x1.5 from 120), clamped to 1.5 to 60 Mbit/s.
std::uint32_t scaled_bitrate(std::uint32_t bitrate, Size encode, std::uint32_t fps);

// The capture's pacing interval: the whole refresh periods that fit in one
// frame time less half a period, never below three quarters of the frame
// time (the floor alone when the refresh rate is unknown: 0, or 1, which the
// display settings report for "the hardware's default rate").
Ticks min_update_interval(std::uint32_t fps, std::uint32_t refresh_hz);

// Everything above, for one window.
struct CapturePlan {
  CaptureArea area;
  Size encode;
  std::uint32_t bitrate = 0;
  Ticks interval{0};
};
Result<CapturePlan> plan_capture(const RecorderOptions& options, const WindowGeometry& window,
                                 std::uint32_t refresh_hz);

// --- Stages ---

// --stage convert and --stage capture run no encoder; --stage capture no
// converter either.
bool stage_has_encoder(CaptureStage stage);
bool stage_has_converter(CaptureStage stage);
// Copy mode when the encoder took BGRA, or, without an encoder, when
// --input bgra was given; the video processor otherwise.
ConvertMode converter_mode(InputFormat input, std::optional<std::string_view> encoder_input);
// What the converter is built from.
ConverterSetup converter_setup(const CapturePlan& plan, std::uint32_t fps, ConvertMode mode);

// The codec name without an encoder.
inline constexpr std::string_view kNoCodec = "none";

// --- Log lines ---

// capturing {w}x{h} (window {iw}x{ih}, crop +{x}+{y}), encoder "{codec}" @ {fps} fps, {kbit} kbit/s
std::string capturing_line(const CapturePlan& plan, std::string_view codec, std::uint32_t fps);
// monitor {hz} Hz: capture interval {ms:.2} ms
std::string interval_line(std::uint32_t refresh_hz, Ticks interval);

}  // namespace orvelle::clips
