#include "main/window_rule.h"

#include "common/dpi.h"
#include "common/numbers.h"

#include <cmath>

namespace orvelle::setup {
namespace {

std::int32_t clamp32(std::int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

struct Physical {
  std::int32_t width, height;
};

Physical physical_size(const Rect& work, std::uint32_t dpi) {
  float s = dpi_scale(dpi);
  float work_width = static_cast<float>(std::int64_t{work.right} - work.left);
  // fmax and fmin pass over a NaN, so an odd work area still gives 960.
  float logical = std::round(work_width / s * 0.62f);
  logical = std::fmin(std::fmax(logical, 960.0f), 1280.0f);
  std::int32_t w = round_saturate<std::int32_t>(logical * s);
  // Widened, so a saturated width cannot overflow the 16:9 product.
  std::int32_t h = static_cast<std::int32_t>(std::int64_t{w} * 9 / 16);
  return {w, h};
}

}  // namespace

Size window_size(const Rect& work_area, std::uint32_t dpi) {
  Physical p = physical_size(work_area, dpi);
  return {static_cast<std::uint32_t>(p.width < 0 ? 0 : p.width),
          static_cast<std::uint32_t>(p.height < 0 ? 0 : p.height)};
}

WindowBox window_box(const Rect& work, std::uint32_t dpi, bool offscreen) {
  Physical p = physical_size(work, dpi);
  std::int64_t w = p.width, h = p.height;
  if (offscreen) return {clamp32(-200 - w), clamp32(-200 - h), p.width, p.height};
  std::int64_t work_w = std::int64_t{work.right} - work.left;
  std::int64_t work_h = std::int64_t{work.bottom} - work.top;
  return {clamp32(work.left + (work_w - w) / 2), clamp32(work.top + (work_h - h) / 2), p.width,
          p.height};
}

}  // namespace orvelle::setup
