#include "main/window_rule.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace orvelle::setup {
namespace {

TEST(WindowRule, SizeOverWorkAreas) {
  struct Case {
    Rect work;
    std::uint32_t dpi;
    Size size;
  } cases[] = {
      {{0, 0, 1000, 700}, 96, {960, 540}},          // raised to 960 logical pixels
      {{0, 0, 3840, 2100}, 144, {1920, 1080}},      // 1587 logical, capped at 1280
      {{0, 0, 1920, 1040}, 96, {1190, 669}},        // 1190.4 rounds down
      {{0, 0, 1800, 1000}, 120, {1200, 675}},       // 1440 / 1.25 x 0.62 = 892.8 -> 960
      {{0, 0, 0, 0}, 96, {960, 540}},               // no work area at all
      {{0, 0, 0, 0}, 0, {960, 540}},                // nor a dpi
      {{0, 0, 1920, 1080}, 0, {1190, 669}},         // a failed dpi counts as 96
      {{500, 0, 100, 0}, 96, {960, 540}},           // right of left: negative width
      {{INT32_MIN, 0, INT32_MAX, 0}, 96, {1280, 720}},
      {{0, 0, 1920, 1080}, UINT32_MAX, {INT32_MAX, 1207959551}},  // saturates, no overflow
  };
  for (const auto& c : cases) {
    EXPECT_EQ(window_size(c.work, c.dpi), c.size)
        << c.work.left << "," << c.work.right << " @" << c.dpi;
  }
}

TEST(WindowRule, CentredOrOffscreen) {
  EXPECT_EQ(window_box({0, 0, 1000, 700}, 96, false), (WindowBox{20, 80, 960, 540}));
  EXPECT_EQ(window_box({100, 40, 2020, 1080}, 96, false), (WindowBox{465, 225, 1190, 669}));
  // Odd leftovers truncate toward zero, also when the window is wider than the area.
  EXPECT_EQ(window_box({0, 0, 101, 51}, 96, false), (WindowBox{-429, -244, 960, 540}));
  EXPECT_EQ(window_box({0, 0, 1000, 700}, 96, true), (WindowBox{-1160, -740, 960, 540}));
  WindowBox huge = window_box({0, 0, 1920, 1080}, UINT32_MAX, true);
  EXPECT_EQ(huge.x, INT32_MIN);
  EXPECT_LT(huge.y, 0);
}

}  // namespace
}  // namespace orvelle::setup
