#include "overhang/fade.h"
#include "overhang/logo_geometry.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

TEST(LogoGeometry, AtEachDpi) {
  struct Case {
    std::uint32_t dpi;
    LogoGeometry g;
  } cases[] = {
      // scale, W, L, o, drop, r, rows, columns, window offset
      {96, {1.0f, 112, 84, 14, 4, 4, 32, 34, -32, -30}},
      {120, {1.25f, 140, 105, 18, 5, 5, 40, 43, -40, -38}},  // halves away from zero
      {144, {1.5f, 168, 126, 21, 6, 6, 48, 51, -48, -45}},
      {168, {1.75f, 196, 147, 25, 7, 7, 56, 60, -56, -53}},
      {0, {1.0f, 112, 84, 14, 4, 4, 32, 34, -32, -30}},  // a failed query counts as 96
      {12, {0.125f, 14, 11, 2, 1, 1, 4, 4, -4, -4}},      // the blur keeps a radius of 1
  };
  for (const auto& c : cases) EXPECT_EQ(logo_geometry(c.dpi), c.g) << c.dpi;
}

TEST(LogoGeometry, HugeDpiSaturates) {
  LogoGeometry g = logo_geometry(UINT32_MAX);
  EXPECT_EQ(g.canvas, INT32_MAX);
  EXPECT_EQ(g.logo, INT32_MAX);
}

TEST(LogoFade, Schedule) {
  struct Case {
    std::uint64_t ms;
    FadeStep step;
  } cases[] = {{0, {0, true}},      {1, {1, true}},     {90, {128, true}},
               {179, {254, true}},  {180, {255, false}}, {5000, {255, false}},
               {UINT64_MAX, {255, false}}};
  for (const auto& c : cases) EXPECT_EQ(fade_step(c.ms), c.step) << c.ms;
}

}  // namespace
}  // namespace orvelle::setup
