#include "capture/capture_plan.h"

#include "common/numbers.h"
#include "encode/encoder_choice.h"

#include <fmt/format.h>

#include <algorithm>

namespace orvelle::clips {
namespace {

std::uint32_t at_least_one(std::uint32_t side) { return std::max<std::uint32_t>(side, 1); }

std::uint32_t non_negative(std::int64_t v) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, UINT32_MAX));
}

// One side of the encode size before it is made even.
std::uint32_t encode_side(std::uint32_t available, std::uint32_t wanted) {
  return std::min(available, std::max<std::uint32_t>(wanted, 2));
}
std::uint32_t even(std::uint32_t side) { return std::max<std::uint32_t>(side & ~1u, 2); }

constexpr double kFullHdArea = 1920.0 * 1080.0;
constexpr std::uint32_t kMinBitrate = 1'500'000;
constexpr std::uint32_t kMaxBitrate = 60'000'000;

}  // namespace

CaptureArea capture_area(const WindowGeometry& window) {
  CaptureArea a;
  a.item = {at_least_one(window.item.width), at_least_one(window.item.height)};
  a.available = a.wanted = a.item;
  if (!window.frame || !window.client || !window.client_origin) return a;
  const Rect& frame = *window.frame;
  const Rect& client = *window.client;
  const std::int64_t cw = std::max<std::int64_t>(std::int64_t{client.right} - client.left, 0);
  const std::int64_t ch = std::max<std::int64_t>(std::int64_t{client.bottom} - client.top, 0);
  const std::int64_t cx = window.client_origin->x, cy = window.client_origin->y;
  const std::int64_t dx = cx - frame.left, dy = cy - frame.top;
  if (cw <= 0 || ch <= 0 || dx < 0 || dy < 0 || cx + cw > frame.right || cy + ch > frame.bottom)
    return a;
  a.crop = {static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy)};
  a.available = {non_negative(std::int64_t{a.item.width} - dx),
                 non_negative(std::int64_t{a.item.height} - dy)};
  a.wanted = {static_cast<std::uint32_t>(cw), static_cast<std::uint32_t>(ch)};
  return a;
}

Result<Size> encode_size(const CaptureArea& area) {
  const std::uint32_t w = encode_side(area.available.width, area.wanted.width);
  const std::uint32_t h = encode_side(area.available.height, area.wanted.height);
  const Size encode{even(w), even(h)};
  if (w < kMinEncodeWidth || h < kMinEncodeHeight)
    return error(fail(fmt::format("the window is too small to record ({}x{})", encode.width,
                                  encode.height)));
  return encode;
}

std::uint32_t scaled_bitrate(std::uint32_t bitrate, Size encode, std::uint32_t fps) {
  const double rate_factor = fps < 31 ? 0.75 : fps < 120 ? 1.0 : 1.5;
  const double area = static_cast<double>(encode.width) * static_cast<double>(encode.height);
  const double scaled = static_cast<double>(bitrate) * ((area / kFullHdArea) * rate_factor);
  return static_cast<std::uint32_t>(
      std::clamp<std::uint64_t>(round_saturate<std::uint64_t>(scaled), kMinBitrate, kMaxBitrate));
}

Ticks min_update_interval(std::uint32_t fps, std::uint32_t refresh_hz) {
  const std::int64_t second = kTicksPerSecond.count();
  const std::int64_t frame_time = second / std::max<std::uint32_t>(fps, 1);
  const std::int64_t floor = 3 * frame_time / 4;
  // Taken at its word, a monitor that reports 1 Hz would pace a 60 fps
  // recording to two pictures a second.
  const std::int64_t period = refresh_hz <= 1 ? 0 : second / refresh_hz;
  if (period == 0) return Ticks{floor};
  const std::int64_t periods = std::max<std::int64_t>(frame_time / period, 1);
  return Ticks{std::max(periods * period - period / 2, floor)};
}

Result<CapturePlan> plan_capture(const RecorderOptions& options, const WindowGeometry& window,
                                 std::uint32_t refresh_hz) {
  CapturePlan plan;
  plan.area = capture_area(window);
  Result<Size> encode = encode_size(plan.area);
  if (!encode) return error(encode.error());
  plan.encode = *encode;
  plan.bitrate = scaled_bitrate(options.bitrate, plan.encode, options.fps);
  plan.interval = min_update_interval(options.fps, refresh_hz);
  return plan;
}

bool stage_has_encoder(CaptureStage stage) { return stage == CaptureStage::Full; }
bool stage_has_converter(CaptureStage stage) { return stage != CaptureStage::Capture; }

ConvertMode converter_mode(InputFormat input, std::optional<std::string_view> encoder_input) {
  const bool bgra = encoder_input ? *encoder_input == kInputBgra : input == InputFormat::Bgra;
  return bgra ? ConvertMode::copy : ConvertMode::video_processor;
}

ConverterSetup converter_setup(const CapturePlan& plan, std::uint32_t fps, ConvertMode mode) {
  ConverterSetup setup;
  setup.fps = fps;
  setup.item = plan.area.item;
  setup.crop_x = plan.area.crop.x;
  setup.crop_y = plan.area.crop.y;
  setup.encode = plan.encode;
  setup.mode = mode;
  return setup;
}

std::string capturing_line(const CapturePlan& plan, std::string_view codec, std::uint32_t fps) {
  return fmt::format("capturing {}x{} (window {}x{}, crop +{}+{}), encoder \"{}\" @ {} fps, {} kbit/s",
                     plan.encode.width, plan.encode.height, plan.area.item.width,
                     plan.area.item.height, plan.area.crop.x, plan.area.crop.y, codec, fps,
                     plan.bitrate / 1000);
}

std::string interval_line(std::uint32_t refresh_hz, Ticks interval) {
  return fmt::format("monitor {} Hz: capture interval {:.2f} ms", refresh_hz,
                     static_cast<double>(interval.count()) / 10'000.0);
}

}  // namespace orvelle::clips
