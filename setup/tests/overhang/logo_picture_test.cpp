#include "overhang/logo_picture.h"

#include "support/direct_blur.h"

#include <gtest/gtest.h>

#include <random>

namespace orvelle::setup {
namespace {

// An opaque logo of one colour, premultiplied BGRA, L x L.
std::vector<std::uint8_t> solid_logo(std::int32_t size, std::uint8_t b, std::uint8_t g,
                                     std::uint8_t r) {
  std::vector<std::uint8_t> logo;
  for (std::int32_t i = 0; i < size * size; ++i) logo.insert(logo.end(), {b, g, r, 255});
  return logo;
}

struct Pixel {
  int b, g, r, a;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};
Pixel pixel(const std::vector<std::uint8_t>& picture, std::int32_t size, int x, int y) {
  const std::uint8_t* p = &picture[(std::size_t(y) * size + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

TEST(LogoBlur, MatchesTheDirectConvolution) {
  std::mt19937 random(7);
  for (auto [n, r] : {std::pair{40, 3}, std::pair{9, 4}, std::pair{5, 6}, std::pair{112, 4}}) {
    Plane plane(std::size_t(n) * n);
    for (float& v : plane) v = float(random() % 256);
    Plane expected = plane, scratch;
    for (int pass = 0; pass < 3; ++pass) {
      box_blur_pass(plane, scratch, n, r);
      expected = testing::direct_box_pass(expected, n, r);
    }
    for (std::size_t i = 0; i < plane.size(); ++i)
      ASSERT_NEAR(plane[i], expected[i], 1e-3) << "n " << n << " r " << r << " at " << i;
  }
}

TEST(LogoBlur, EdgesCountOutsideAsZero) {
  // One lit corner: its own pixel keeps a ninth, as inside the plane.
  Plane plane(25, 0.0f), scratch;
  plane[0] = 255;
  box_blur_pass(plane, scratch, 5, 1);
  EXPECT_FLOAT_EQ(plane[0], 255.0f / 9);
  EXPECT_FLOAT_EQ(plane[6], 255.0f / 9);
  EXPECT_FLOAT_EQ(plane[2], 0.0f);
}

TEST(LogoPicture, ShadowFollowsTheLogoDownward) {
  LogoGeometry g = logo_geometry(96);
  auto logo = solid_logo(g.logo, 10, 20, 30);
  Plane alpha = alpha_plane(logo, g);
  EXPECT_EQ(alpha[14 * 112 + 14], 255);
  EXPECT_EQ(alpha[13 * 112 + 14], 0);
  EXPECT_EQ(alpha[97 * 112 + 97], 255);
  EXPECT_EQ(alpha[98 * 112 + 97], 0);
  Plane shadow = shadow_plane(alpha, g);
  EXPECT_EQ(shadow[17 * 112 + 14], 0);
  EXPECT_EQ(shadow[18 * 112 + 14], 255);
  EXPECT_EQ(shadow[101 * 112 + 14], 255);
  EXPECT_EQ(shadow[102 * 112 + 14], 0);
}

TEST(LogoPicture, DrawsOnlyTheOverhangingBand) {
  LogoGeometry g = logo_geometry(96);
  auto picture = build_logo_picture(solid_logo(g.logo, 10, 20, 30), g);
  ASSERT_EQ(picture.size(), 112u * 112 * 4);
  // Covered by the logo but inside the main window: left to the page.
  EXPECT_EQ(pixel(picture, 112, 40, 40), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(pixel(picture, 112, 34, 32), (Pixel{0, 0, 0, 0}));
  // In the band: the opaque logo hides its shadow.
  EXPECT_EQ(pixel(picture, 112, 40, 20), (Pixel{10, 20, 30, 255}));
  EXPECT_EQ(pixel(picture, 112, 20, 40), (Pixel{10, 20, 30, 255}));
  EXPECT_EQ(pixel(picture, 112, 33, 97), (Pixel{10, 20, 30, 255}));
  // Far corners: beyond the shadow's reach.
  EXPECT_EQ(pixel(picture, 112, 0, 0), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(pixel(picture, 112, 111, 0), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(pixel(picture, 112, 0, 111), (Pixel{0, 0, 0, 0}));
  // Under the logo's bottom edge: shadow alone, dark, warm, at most 60 %.
  Pixel below = pixel(picture, 112, 20, 100);
  EXPECT_GT(below.a, 0);
  EXPECT_LE(below.a, 153);
  EXPECT_LE(below.b, below.g);
  EXPECT_LE(below.g, below.r);
  EXPECT_LE(below.r, (below.a * 8 + 254) / 255 + 1);
  // Premultiplied throughout: no channel above its alpha.
  for (int y = 0; y < 112; ++y)
    for (int x = 0; x < 112; ++x) {
      Pixel p = pixel(picture, 112, x, y);
      ASSERT_LE(std::max({p.b, p.g, p.r}), p.a) << x << "," << y;
    }
}

TEST(LogoPicture, RefusesWhatCannotBeDrawn) {
  LogoGeometry g = logo_geometry(96);
  EXPECT_TRUE(build_logo_picture(solid_logo(g.logo - 1, 0, 0, 0), g).empty());
  LogoGeometry huge = logo_geometry(UINT32_MAX);
  EXPECT_TRUE(build_logo_picture({}, huge).empty());
  LogoGeometry at_168 = logo_geometry(168);
  EXPECT_EQ(build_logo_picture(solid_logo(at_168.logo, 1, 2, 3), at_168).size(), 196u * 196 * 4);
}

}  // namespace
}  // namespace orvelle::setup
