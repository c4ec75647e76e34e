#include "shared/options.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvelle::clips {
namespace {

RecorderOptions parse(std::vector<std::string> args) {
  auto r = parse_recorder_options(args);
  EXPECT_TRUE(std::holds_alternative<RecorderOptions>(r));
  return std::get<RecorderOptions>(r);
}

TEST(Options, NumbersTakeDefaultsWhenBadAndClampWhenParsed) {
  struct Case {
    std::vector<std::string> args;
    std::function<std::uint64_t(const RecorderOptions&)> field;
    std::uint64_t expected;
  } cases[] = {
      {{"--fps", "0"}, &RecorderOptions::fps, 1},
      {{"--fps", "1000"}, &RecorderOptions::fps, 240},
      {{"--fps", "-5"}, &RecorderOptions::fps, 60},
      {{"--fps", "+30"}, &RecorderOptions::fps, 30},
      {{"--fps", " 30"}, &RecorderOptions::fps, 60},
      {{"--fps"}, &RecorderOptions::fps, 60},
      {{"--bitrate", "100"}, &RecorderOptions::bitrate, 500'000},
      {{"--bitrate", "99999999999"}, &RecorderOptions::bitrate, 10'000'000},
      {{"--bitrate", "90000000"}, &RecorderOptions::bitrate, 80'000'000},
      {{"--seconds", "1"}, &RecorderOptions::seconds, 5},
      {{"--seconds", "601"}, &RecorderOptions::seconds, 600},
      {{"--mic-volume", "500"}, &RecorderOptions::mic_volume, 200},
      {{"--mic-volume"}, &RecorderOptions::mic_volume, 100},
      {{"--board-width", "10"}, &RecorderOptions::board_width, 64},
      {{"--board-width", "5000"}, &RecorderOptions::board_width, 1920},
      {{"--board-frames", "0"}, &RecorderOptions::board_frames, 1},
      {{"--board-frames", "601"}, &RecorderOptions::board_frames, 600},
      {{"--pid", "abc"}, &RecorderOptions::pid, 0},
      {{"--pid", "1234", "--pid", "77"}, &RecorderOptions::pid, 77},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.field(parse(c.args)), c.expected) << testing::PrintToString(c.args);
}

TEST(Options, WidthForms) {
  struct Case {
    const char* value;
    std::uint32_t width, height;
  } cases[] = {{"1920x1080", 1920, 1080}, {"100", 160, 0},       {"640X480", 1280, 0},
               {"800x", 800, 0},          {"800x5000", 800, 2160}, {"x720", 1280, 720},
               {"800xabc", 800, 0},       {"", 1280, 0},           {"5000x1x2", 3840, 0}};
  for (const auto& c : cases) {
    auto o = parse({"--width", c.value});
    EXPECT_EQ(o.width, c.width) << c.value;
    EXPECT_EQ(o.height, c.height) << c.value;
  }
}

TEST(Options, FloatsTextsAndWords) {
  EXPECT_EQ(parse({"--volume", "2"}).volume, 1.0f);
  EXPECT_EQ(parse({"--volume", "-1"}).volume, 0.0f);
  EXPECT_EQ(parse({"--volume", "abc"}).volume, 1.0f);
  EXPECT_EQ(parse({"--volume", "nan"}).volume, 0.0f);
  EXPECT_EQ(parse({"--volume", "0.25"}).volume, 0.25f);
  EXPECT_EQ(parse({"--start", "12.5"}).start, 12.5);
  EXPECT_EQ(parse({"--start", "x"}).start, 0.0);
  EXPECT_EQ(parse({"--duration", "0"}).duration, 0u);
  EXPECT_FALSE(parse({"--duration", "x"}).duration);
  EXPECT_EQ(parse({"--stage", "Capture"}).stage, CaptureStage::Full);
  EXPECT_EQ(parse({"--stage", "convert"}).stage, CaptureStage::Convert);
  EXPECT_EQ(parse({"--input", "NV12"}).input, InputFormat::Automatic);
  EXPECT_EQ(parse({"--input", "bgra"}).input, InputFormat::Bgra);
  EXPECT_FALSE(parse({"--mic-device", ""}).mic_device);
  EXPECT_EQ(parse({"--mic-device", "{id}"}).mic_device, "{id}");
  // A value option takes the next argument whatever it is, and an empty
  // value at the end of the line.
  auto o = parse({"--title", "--json"});
  EXPECT_EQ(o.title, "--json");
  EXPECT_FALSE(o.json);
  EXPECT_EQ(parse({"--json", "--title"}).title, "");
  EXPECT_TRUE(parse({"--quiet", "--quiet"}).quiet);
}

TEST(Options, UnknownArgumentsStopTheParse) {
  for (const char* bad : {"--pid=5", "--JSON", "game.exe", "-json", ""}) {
    auto r = parse_recorder_options({"--list-mics", bad, "--also-unknown"});
    ASSERT_TRUE(std::holds_alternative<UnknownArgument>(r)) << bad;
    EXPECT_EQ(std::get<UnknownArgument>(r).argument, bad);
  }
}

TEST(Options, ModeOrder) {
  struct Case {
    std::vector<std::string> args;
    Mode mode;
  } cases[] = {
      {{}, Mode::Usage},
      {{"--pid", "0"}, Mode::Usage},
      {{"--pid", "abc"}, Mode::Usage},
      {{"--json", "--fps", "30"}, Mode::Usage},
      {{"--pid", "12"}, Mode::Record},
      {{"--title"}, Mode::Record},
      {{"--play", "a.mp4", "--storyboard", "a.mp4", "--list-mics"}, Mode::ListMics},
      {{"--play", "a.mp4", "--storyboard", "a.mp4"}, Mode::Storyboard},
      {{"--play", "", "--pid", "5"}, Mode::Play},
  };
  for (const auto& c : cases)
    EXPECT_EQ(choose_mode(parse(c.args)), c.mode) << testing::PrintToString(c.args);
}

TEST(Options, PlayerOptionsCarryOnlyPlayback) {
  auto p = player_options(parse(
      {"--play", "C:\\clips\\a.mp4", "--start", "3.5", "--width", "640x360", "--volume", "0.5",
       "--autoplay", "--fps", "30"}));
  EXPECT_EQ(p.path, "C:\\clips\\a.mp4");
  EXPECT_EQ(p.start, 3.5);
  EXPECT_EQ(p.width, 640u);
  EXPECT_EQ(p.height, 360u);
  EXPECT_EQ(p.volume, 0.5f);
  EXPECT_TRUE(p.autoplay);
}

}  // namespace
}  // namespace orvelle::clips
