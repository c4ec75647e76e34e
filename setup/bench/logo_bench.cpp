// The logo window's picture at 168 dpi (a 196 x 196 canvas, blur radius 7):
// the whole build from the scaled logo, and the shadow's three blur passes
// beside the direct convolution they are tested against.

#include "overhang/logo_picture.h"
#include "support/direct_blur.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace orvelle::setup {
namespace {

// A round, premultiplied logo of L x L with a soft edge, as WIC hands it over.
std::vector<std::uint8_t> round_logo(std::int32_t size) {
  std::vector<std::uint8_t> logo;
  float c = (size - 1) / 2.0f;
  for (std::int32_t y = 0; y < size; ++y)
    for (std::int32_t x = 0; x < size; ++x) {
      float d = std::hypot(x - c, y - c) / c;
      auto a = static_cast<std::uint8_t>(d >= 1 ? 0 : d > 0.9f ? (1 - d) * 2550 : 255);
      logo.insert(logo.end(), {std::uint8_t(a * 0.16f), std::uint8_t(a * 0.45f),
                               std::uint8_t(a * 0.94f), a});
    }
  return logo;
}

void BM_LogoPicture168(benchmark::State& state) {
  LogoGeometry g = logo_geometry(168);
  auto logo = round_logo(g.logo);
  for (auto _ : state) benchmark::DoNotOptimize(build_logo_picture(logo, g));
}
BENCHMARK(BM_LogoPicture168)->Unit(benchmark::kMillisecond);

Plane shadow_at_168() {
  LogoGeometry g = logo_geometry(168);
  return shadow_plane(alpha_plane(round_logo(g.logo), g), g);
}

void BM_ShadowBlur168(benchmark::State& state) {
  LogoGeometry g = logo_geometry(168);
  Plane shadow = shadow_at_168();
  for (auto _ : state) {
    Plane plane = shadow;
    blur_shadow(plane, g);
    benchmark::DoNotOptimize(plane.data());
  }
}
BENCHMARK(BM_ShadowBlur168)->Unit(benchmark::kMillisecond);

void BM_DirectBlur168(benchmark::State& state) {
  LogoGeometry g = logo_geometry(168);
  Plane shadow = shadow_at_168();
  for (auto _ : state) {
    Plane plane = shadow;
    for (int pass = 0; pass < 3; ++pass) plane = testing::direct_box_pass(plane, g.canvas, g.radius);
    benchmark::DoNotOptimize(plane.data());
  }
}
BENCHMARK(BM_DirectBlur168)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvelle::setup
