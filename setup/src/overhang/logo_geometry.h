#pragma once
// The overhanging logo's sizes at a dpi: everything follows from one scale
// c = dpi / 96, rounded half away from zero and saturated.

#include <cstdint>

namespace orvelle::setup {

struct LogoGeometry {
  float scale = 1;              // c
  std::int32_t canvas = 0;      // W, the window's width and height
  std::int32_t logo = 0;        // L, the logo's width and height in the canvas
  std::int32_t offset = 0;      // o, the logo's top-left in the canvas, both axes
  std::int32_t drop = 0;        // rows the shadow lies below the logo
  std::int32_t radius = 1;      // of the shadow's box blur
  std::int32_t band_rows = 0;   // pixels with y below this are drawn
  std::int32_t band_columns = 0;  // and so are those with x below this
  std::int32_t window_dx = 0, window_dy = 0;  // from the main window's top-left
  friend bool operator==(const LogoGeometry&, const LogoGeometry&) = default;
};

LogoGeometry logo_geometry(std::uint32_t dpi);

// A canvas this large or larger is not drawn (its pixels would not fit in
// memory); no real monitor comes near it.
inline constexpr std::int32_t kLargestCanvas = 4096;

// Whether a logo of this geometry is drawn at all; asked before anything is
// decoded, so that an absurd dpi is refused rather than exhausting memory.
inline bool drawable(const LogoGeometry& g) { return g.canvas > 0 && g.canvas < kLargestCanvas; }

}  // namespace orvelle::setup
