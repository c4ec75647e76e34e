// The capture start's decisions, from the window's facts to the plan.

#include "capture/capture_plan.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

TEST(CapturePlan, CropsToTheClientAreaWhenItLiesInsideTheFrame) {
  struct Case {
    const char* what;
    WindowGeometry window;
    Point crop;
    Size available, wanted;
  } cases[] = {
      {"a framed window",
       {{1296, 759}, Rect{100, 50, 1396, 809}, Rect{0, 0, 1280, 720}, Point{108, 81}},
       {8, 31}, {1288, 728}, {1280, 720}},
      {"borderless full screen",
       {{1920, 1080}, Rect{0, 0, 1920, 1080}, Rect{0, 0, 1920, 1080}, Point{0, 0}},
       {0, 0}, {1920, 1080}, {1920, 1080}},
      // A 1280 x 720 client on a 150% display: frame and client both in
      // physical pixels, as per-monitor awareness gives them.
      {"a framed window at 150%",
       {{1944, 1137}, Rect{150, 75, 2094, 1212}, Rect{0, 0, 1920, 1080}, Point{162, 120}},
       {12, 45}, {1932, 1092}, {1920, 1080}},
      {"a window on a monitor left of the primary",
       {{1296, 759}, Rect{-1500, 20, -204, 779}, Rect{0, 0, 1280, 720}, Point{-1492, 51}},
       {8, 31}, {1288, 728}, {1280, 720}},
      {"an item smaller than the client area",
       {{1000, 700}, Rect{0, 0, 1296, 759}, Rect{0, 0, 1280, 720}, Point{8, 31}},
       {8, 31}, {992, 669}, {1280, 720}},
      {"a crop past the item", {{4, 4}, Rect{0, 0, 1296, 759}, Rect{0, 0, 1280, 720}, Point{8, 31}},
       {8, 31}, {0, 0}, {1280, 720}},
      {"no frame bounds", {{1296, 759}, std::nullopt, Rect{0, 0, 1280, 720}, Point{108, 81}},
       {0, 0}, {1296, 759}, {1296, 759}},
      {"no client rectangle", {{1296, 759}, Rect{100, 50, 1396, 809}, std::nullopt, Point{108, 81}},
       {0, 0}, {1296, 759}, {1296, 759}},
      {"no client origin",
       {{1296, 759}, Rect{100, 50, 1396, 809}, Rect{0, 0, 1280, 720}, std::nullopt},
       {0, 0}, {1296, 759}, {1296, 759}},
      {"an empty client area",
       {{1296, 759}, Rect{100, 50, 1396, 809}, Rect{0, 0, 0, 720}, Point{108, 81}},
       {0, 0}, {1296, 759}, {1296, 759}},
      {"a client area left of the frame",
       {{1296, 759}, Rect{100, 50, 1396, 809}, Rect{0, 0, 1280, 720}, Point{99, 81}},
       {0, 0}, {1296, 759}, {1296, 759}},
      {"a client area past the frame's bottom",
       {{1296, 759}, Rect{100, 50, 1396, 809}, Rect{0, 0, 1280, 720}, Point{108, 90}},
       {0, 0}, {1296, 759}, {1296, 759}},
      {"an empty item", {{0, 0}, std::nullopt, std::nullopt, std::nullopt},
       {0, 0}, {1, 1}, {1, 1}},
  };
  for (const Case& c : cases) {
    CaptureArea a = capture_area(c.window);
    EXPECT_EQ(a.crop, c.crop) << c.what;
    EXPECT_EQ(a.available, c.available) << c.what;
    EXPECT_EQ(a.wanted, c.wanted) << c.what;
  }
}

TEST(CapturePlan, EncodeSizesAreEvenAndAtLeast160By90) {
  struct Case {
    Size available, wanted;
    std::optional<Size> encode;
    std::string error;
  } cases[] = {
      {{1920, 1080}, {1919, 1079}, Size{1918, 1078}, ""},
      {{1920, 1080}, {161, 91}, Size{160, 90}, ""},
      {{1000, 669}, {1280, 720}, Size{1000, 668}, ""},
      {{1920, 1080}, {159, 400}, std::nullopt, "the window is too small to record (158x400)"},
      {{1920, 1080}, {160, 89}, std::nullopt, "the window is too small to record (160x88)"},
      {{1920, 1080}, {1, 1}, std::nullopt, "the window is too small to record (2x2)"},
      {{0, 0}, {1280, 720}, std::nullopt, "the window is too small to record (2x2)"},
  };
  for (const Case& c : cases) {
    CaptureArea area;
    area.available = c.available;
    area.wanted = c.wanted;
    Result<Size> size = encode_size(area);
    if (c.encode) {
      ASSERT_TRUE(size) << size.error().text();
      EXPECT_EQ(*size, *c.encode);
    } else {
      ASSERT_FALSE(size) << size->width;
      EXPECT_EQ(size.error().code, hresult::kFail);
      EXPECT_EQ(size.error().message, c.error);
    }
  }
}

TEST(CapturePlan, BitrateScalesWithAreaAndRateWithinItsBounds) {
  struct Case {
    Size encode;
    std::uint32_t fps, bitrate, scaled;
  } cases[] = {
      {{1920, 1080}, 60, 10'000'000, 10'000'000},
      {{1920, 1080}, 30, 10'000'000, 7'500'000},
      {{1920, 1080}, 31, 10'000'000, 10'000'000},
      {{1920, 1080}, 119, 10'000'000, 10'000'000},
      {{1920, 1080}, 120, 10'000'000, 15'000'000},
      {{1280, 720}, 60, 10'000'000, 4'444'444},
      {{3840, 2160}, 144, 10'000'000, 60'000'000},   // the upper bound
      {{320, 180}, 60, 10'000'000, 1'500'000},       // the lower bound
      {{1918, 1078}, 60, 4'000'000'000, 60'000'000}, // no overflow on the way
      {{160, 90}, 240, 10'000'000, 1'500'000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(scaled_bitrate(c.bitrate, c.encode, c.fps), c.scaled)
        << c.encode.width << "x" << c.encode.height << " at " << c.fps;
}

TEST(CapturePlan, IntervalFitsWholeRefreshPeriodsAboveThreeQuartersOfAFrame) {
  struct Case {
    std::uint32_t fps, hz;
    std::int64_t interval;
  } cases[] = {
      {60, 240, 145'831},  // four periods less half a period
      {60, 60, 124'999},   // the floor: three quarters of 166,666
      {60, 144, 124'999},
      {60, 0, 124'999},    // refresh rate unknown
      {60, 1, 124'999},    // "the hardware's default rate": unknown too
      {60, 2, 2'500'000},  // any other rate is taken at its word
      {30, 60, 249'999},
      {144, 144, 52'083},
      {240, 60, 83'333},   // one period less half: every picture the monitor shows
      {60, 20'000'000, 124'999},  // a period shorter than 100 ns
  };
  for (const Case& c : cases)
    EXPECT_EQ(min_update_interval(c.fps, c.hz), Ticks{c.interval}) << c.fps << " fps, " << c.hz << " Hz";
}

TEST(CapturePlan, StagesChooseTheConverter) {
  EXPECT_TRUE(stage_has_encoder(CaptureStage::Full));
  EXPECT_FALSE(stage_has_encoder(CaptureStage::Convert));
  EXPECT_FALSE(stage_has_encoder(CaptureStage::Capture));
  EXPECT_TRUE(stage_has_converter(CaptureStage::Convert));
  EXPECT_FALSE(stage_has_converter(CaptureStage::Capture));
  struct Case {
    InputFormat input;
    std::optional<std::string_view> encoder_input;
    ConvertMode mode;
  } cases[] = {
      {InputFormat::Automatic, "bgra", ConvertMode::copy},
      {InputFormat::Automatic, "nv12", ConvertMode::video_processor},
      {InputFormat::Bgra, "nv12", ConvertMode::video_processor},  // the encoder's choice rules
      {InputFormat::Bgra, std::nullopt, ConvertMode::copy},       // --stage convert
      {InputFormat::Automatic, std::nullopt, ConvertMode::video_processor},
      {InputFormat::Nv12, std::nullopt, ConvertMode::video_processor},
  };
  for (const Case& c : cases)
    EXPECT_EQ(converter_mode(c.input, c.encoder_input), c.mode)
        << static_cast<int>(c.input) << " " << c.encoder_input.value_or("no encoder");
}

TEST(CapturePlan, PlansAWindowAndLogsIt) {
  RecorderOptions options;
  options.fps = 60;
  WindowGeometry window{{1296, 759}, Rect{100, 50, 1396, 809}, Rect{0, 0, 1280, 720}, Point{108, 81}};
  auto plan = plan_capture(options, window, 240);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->encode, (Size{1280, 720}));
  EXPECT_EQ(plan->bitrate, 4'444'444u);
  EXPECT_EQ(plan->interval, Ticks{145'831});
  EXPECT_EQ(capturing_line(*plan, "NVIDIA H.264 Encoder MFT", 60),
            "capturing 1280x720 (window 1296x759, crop +8+31), encoder \"NVIDIA H.264 Encoder MFT\" "
            "@ 60 fps, 4444 kbit/s");
  EXPECT_EQ(interval_line(240, plan->interval), "monitor 240 Hz: capture interval 14.58 ms");
  EXPECT_EQ(interval_line(0, Ticks{124'999}), "monitor 0 Hz: capture interval 12.50 ms");

  ConverterSetup setup = converter_setup(*plan, 60, ConvertMode::copy);
  EXPECT_EQ(setup.item, (Size{1296, 759}));
  EXPECT_EQ(setup.crop_x, 8);
  EXPECT_EQ(setup.crop_y, 31);
  EXPECT_EQ(setup.encode, (Size{1280, 720}));

  window.client = Rect{0, 0, 150, 720};
  auto small = plan_capture(options, window, 240);
  ASSERT_FALSE(small);
  EXPECT_EQ(small.error().message, "the window is too small to record (150x720)");
}

}  // namespace
}  // namespace orvelle::clips
