#include "overhang/logo_geometry.h"

#include "common/dpi.h"
#include "common/numbers.h"

#include <algorithm>

namespace orvelle::setup {

LogoGeometry logo_geometry(std::uint32_t dpi) {
  float c = dpi_scale(dpi);
  auto px = [c](float logical) { return round_saturate<std::int32_t>(logical * c); };
  LogoGeometry g;
  g.scale = c;
  g.canvas = px(112);
  g.logo = px(84);
  g.offset = px(14);
  g.drop = px(4);
  g.radius = std::max(px(4), 1);
  g.band_rows = px(32);
  g.band_columns = px(34);
  g.window_dx = px(-32);
  g.window_dy = px(-30);
  return g;
}

}  // namespace orvelle::setup
