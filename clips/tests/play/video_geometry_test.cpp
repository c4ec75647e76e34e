#include "play/output_size.h"
#include "play/video_geometry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvelle::clips {
namespace {

std::uint64_t pack(std::uint32_t high, std::uint32_t low) { return std::uint64_t{high} << 32 | low; }

// MFVideoArea: OffsetX and OffsetY (16-bit fraction, then a signed 16-bit
// integer), then cx and cy.
std::vector<std::uint8_t> area(std::int16_t x, std::int16_t y, std::int32_t cx, std::int32_t cy,
                               std::uint16_t fraction = 0) {
  std::vector<std::uint8_t> blob(16);
  std::memcpy(&blob[0], &fraction, 2);
  std::memcpy(&blob[2], &x, 2);
  std::memcpy(&blob[4], &fraction, 2);
  std::memcpy(&blob[6], &y, 2);
  std::memcpy(&blob[8], &cx, 4);
  std::memcpy(&blob[12], &cy, 4);
  return blob;
}

TEST(VideoGeometry, FromTheTypesAttributes) {
  struct Case {
    const char* what;
    VideoTypeAttributes type;
    VideoGeometry geometry;  // height, x, y, width, visible height, stride
  } cases[] = {
      {"no stride: four bytes a pixel", {pack(640, 360), {}, {}, {}}, {360, 0, 0, 640, 360, 2560}},
      {"a coded height above the picture", {pack(1920, 1088), 7680, area(0, 0, 1920, 1080), {}},
       {1088, 0, 0, 1920, 1080, 7680}},
      {"a negative offset counts from 0, its fraction is ignored",
       {pack(100, 50), 400, area(-4, -1, 90, 40, 0x8000), {}}, {50, 0, 0, 90, 40, 400}},
      {"an empty area is the whole frame", {pack(100, 50), 400, area(2, 2, 0, 40), {}},
       {50, 0, 0, 100, 50, 400}},
      {"a blob of the wrong size is the whole frame", {pack(100, 50), 400, std::vector<std::uint8_t>(15), {}},
       {50, 0, 0, 100, 50, 400}},
      {"a bottom-up stride stays negative", {pack(100, 50), static_cast<std::uint32_t>(-400), {}, {}},
       {50, 0, 0, 100, 50, -400}},
      {"an area larger than what is left is cut to it", {pack(100, 50), 400, area(10, 20, 100, 100), {}},
       {50, 10, 20, 90, 30, 400}},
      // Wholly outside the frame is like empty: a 0 × 0 player would show
      // nothing, and a wrapped subtraction would send the copy past the
      // buffer.
      {"an offset beyond the frame", {pack(100, 50), 400, area(300, 80, 50, 20), {}},
       {50, 0, 0, 100, 50, 400}},
      {"an offset on the right edge", {pack(100, 50), 400, area(100, 0, 50, 20), {}}, {50, 0, 0, 100, 50, 400}},
      {"an offset below the bottom edge", {pack(100, 50), 400, area(0, 50, 50, 20), {}},
       {50, 0, 0, 100, 50, 400}},
      {"an offset one inside the corner", {pack(100, 50), 400, area(99, 49, 50, 20), {}},
       {50, 99, 49, 1, 1, 400}},
  };
  for (const auto& c : cases) {
    auto g = read_video_geometry(c.type);
    ASSERT_TRUE(g) << c.what;
    EXPECT_EQ(*g, c.geometry) << c.what;
  }
}

TEST(VideoGeometry, AMissingFrameSizeIsTheOnlyError) {
  auto g = read_video_geometry({{}, 400, area(0, 0, 10, 10), pack(30, 1)});
  ASSERT_FALSE(g);
  EXPECT_EQ(g.error().code, hresult::kAttributeNotFound);
}

TEST(OutputSize, KeepsTheAspectNeverUpscalesAndTakesANearHeight) {
  struct Case {
    PictureSize requested, native, out;
  } cases[] = {
      {{1280, 0}, {1920, 1080}, {1280, 720}},
      {{1280, 719}, {1920, 1080}, {1280, 719}},
      {{1280, 727}, {1920, 1080}, {1280, 727}},
      {{1280, 728}, {1920, 1080}, {1280, 720}},
      {{1280, 700}, {1920, 1080}, {1280, 720}},
      {{3840, 0}, {1920, 1080}, {1920, 1080}},
      {{1920, 500}, {1920, 1080}, {1920, 1080}},
      {{0, 0}, {1920, 1080}, {2, 2}},
      {{1, 1}, {64, 48}, {2, 2}},
      {{100, 0}, {4000000000u, 4000000000u}, {100, 100}},  // no 32-bit overflow
  };
  for (const auto& c : cases)
    EXPECT_EQ(output_size(c.requested, c.native), c.out)
        << c.requested.width << "x" << c.requested.height << " of " << c.native.width;
}

TEST(OutputSize, PixelAspectIsReduced) {
  EXPECT_EQ(pixel_aspect({1280, 720}, {1920, 1080}), (Ratio{1, 1}));
  EXPECT_EQ(pixel_aspect({1280, 700}, {1920, 1080}), (Ratio{35, 36}));
  EXPECT_EQ(pixel_aspect({0, 0}, {0, 0}), (Ratio{0, 0}));
}

TEST(OutputSize, DefaultFrameDuration) {
  EXPECT_EQ(default_frame_duration(pack(30, 1)).count(), 333'333);
  EXPECT_EQ(default_frame_duration(pack(30000, 1001)).count(), 333'666);
  EXPECT_EQ(default_frame_duration({}).count(), 166'666);
  EXPECT_EQ(default_frame_duration(pack(0, 1)).count(), 166'666);
  EXPECT_EQ(default_frame_duration(pack(25, 0)).count(), 166'666);
}

}  // namespace
}  // namespace orvelle::clips
