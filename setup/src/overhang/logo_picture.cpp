#include "overhang/logo_picture.h"

#include "common/numbers.h"

#include <algorithm>
#include <cstddef>

namespace orvelle::setup {
namespace {

std::size_t at(std::int32_t x, std::int32_t y, std::int32_t size) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
         static_cast<std::size_t>(x);
}

std::size_t plane_length(std::int32_t size) {
  return static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
}

std::uint8_t channel(float value) {
  return static_cast<std::uint8_t>(std::clamp(round_saturate<int>(value), 0, 255));
}

// Running sums are kept in double, so adding and taking away samples along a
// row of thousands leaves no drift a float would.
void blur_rows(const Plane& in, Plane& out, std::int32_t n, std::int32_t r) {
  double width = 2.0 * r + 1;
  for (std::int32_t y = 0; y < n; ++y) {
    double sum = 0;
    for (std::int32_t x = 0; x <= r && x < n; ++x) sum += in[at(x, y, n)];
    for (std::int32_t x = 0; x < n; ++x) {
      out[at(x, y, n)] = static_cast<float>(sum / width);
      if (x + r + 1 < n) sum += in[at(x + r + 1, y, n)];
      if (x - r >= 0) sum -= in[at(x - r, y, n)];
    }
  }
}

void blur_columns(const Plane& in, Plane& out, std::int32_t n, std::int32_t r) {
  double width = 2.0 * r + 1;
  std::vector<double> sums(static_cast<std::size_t>(n), 0.0);
  for (std::int32_t y = 0; y <= r && y < n; ++y)
    for (std::int32_t x = 0; x < n; ++x) sums[static_cast<std::size_t>(x)] += in[at(x, y, n)];
  for (std::int32_t y = 0; y < n; ++y) {
    for (std::int32_t x = 0; x < n; ++x) {
      double& sum = sums[static_cast<std::size_t>(x)];
      out[at(x, y, n)] = static_cast<float>(sum / width);
      if (y + r + 1 < n) sum += in[at(x, y + r + 1, n)];
      if (y - r >= 0) sum -= in[at(x, y - r, n)];
    }
  }
}

}  // namespace

Plane alpha_plane(std::span<const std::uint8_t> logo, const LogoGeometry& g) {
  Plane plane(plane_length(g.canvas), 0.0f);
  for (std::int32_t i = 0; i < g.logo && i + g.offset < g.canvas; ++i)
    for (std::int32_t k = 0; k < g.logo && k + g.offset < g.canvas; ++k)
      plane[at(k + g.offset, i + g.offset, g.canvas)] = logo[at(k, i, g.logo) * 4 + 3];
  return plane;
}

Plane shadow_plane(const Plane& alpha, const LogoGeometry& g) {
  Plane shadow(plane_length(g.canvas), 0.0f);
  for (std::int32_t y = 0; y < g.canvas; ++y) {
    std::int64_t from = std::int64_t{y} - g.drop;
    if (from < 0 || from >= g.canvas) continue;
    std::copy_n(alpha.begin() + static_cast<std::ptrdiff_t>(at(0, static_cast<std::int32_t>(from), g.canvas)),
                g.canvas, shadow.begin() + static_cast<std::ptrdiff_t>(at(0, y, g.canvas)));
  }
  return shadow;
}

void box_blur_pass(Plane& plane, Plane& scratch, std::int32_t size, std::int32_t radius) {
  scratch.resize(plane.size());
  blur_rows(plane, scratch, size, radius);
  blur_columns(scratch, plane, size, radius);
}

void blur_shadow(Plane& plane, const LogoGeometry& g) {
  Plane scratch;
  for (int pass = 0; pass < 3; ++pass) box_blur_pass(plane, scratch, g.canvas, g.radius);
}

std::vector<std::uint8_t> compose_logo(std::span<const std::uint8_t> logo, const Plane& shadow,
                                       const LogoGeometry& g) {
  std::vector<std::uint8_t> out(plane_length(g.canvas) * 4, 0);
  for (std::int32_t y = 0; y < g.canvas; ++y) {
    for (std::int32_t x = 0; x < g.canvas; ++x) {
      if (y >= g.band_rows && x >= g.band_columns) continue;
      float s = shadow[at(x, y, g.canvas)] / 255.0f * 0.6f;
      float b = 0, gr = 0, r = 0, a = 0;
      std::int64_t ly = std::int64_t{y} - g.offset, lx = std::int64_t{x} - g.offset;
      if (ly >= 0 && lx >= 0 && ly < g.logo && lx < g.logo) {
        const std::uint8_t* p = &logo[at(static_cast<std::int32_t>(lx), static_cast<std::int32_t>(ly), g.logo) * 4];
        b = p[0], gr = p[1], r = p[2], a = p[3];
      }
      // A premultiplied, very dark warm shadow of up to 60 % under the logo.
      float k = 1.0f - a / 255.0f;
      std::uint8_t* o = &out[at(x, y, g.canvas) * 4];
      o[0] = channel(b + 3 * s * k);
      o[1] = channel(gr + 5 * s * k);
      o[2] = channel(r + 8 * s * k);
      o[3] = channel(a + 255 * s * k);
    }
  }
  return out;
}

std::vector<std::uint8_t> build_logo_picture(std::span<const std::uint8_t> logo,
                                             const LogoGeometry& g) {
  if (!drawable(g) || g.logo < 0 ||
      logo.size() != plane_length(g.logo) * 4)
    return {};
  Plane shadow = shadow_plane(alpha_plane(logo, g), g);
  blur_shadow(shadow, g);
  return compose_logo(logo, shadow, g);
}

}  // namespace orvelle::setup
