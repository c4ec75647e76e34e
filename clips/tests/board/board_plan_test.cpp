// The storyboard's arithmetic and texts, which the client relies on.

#include "board/board_plan.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvelle::clips {
namespace {

constexpr std::uint64_t kSecond = 10'000'000;

TEST(BoardPlan, BaseNames) {
  struct Case {
    const char* clip;
    std::optional<std::string> out;
    const char* base;
  } cases[] = {
      {"C:\\clips\\game.mp4", std::nullopt, "C:\\clips\\game"},
      {"a.mp4.mp4", std::nullopt, "a"},       // every ending goes
      {"A.MP4", std::nullopt, "A.MP4"},       // the ending is case-sensitive
      {".mp4", std::nullopt, ""},
      {"game.mkv", std::nullopt, "game.mkv"},
      {"game.mp4", std::string("out\\board"), "out\\board"},
      {"game.mp4", std::string(), ""},        // an empty --out is a name too
  };
  for (const Case& c : cases) EXPECT_EQ(board_base_name(c.clip, c.out), c.base) << c.clip;
}

TEST(BoardPlan, TargetsSpreadOverTheClipAtLeastASecondApart) {
  struct Case {
    std::uint64_t duration;
    std::uint32_t frames;
    std::int64_t step;
    std::size_t targets;
  } cases[] = {
      {0, 60, kSecond, 1},                  // one target, at 0
      {10 * kSecond, 60, kSecond, 10},       // not 60: never closer than a second
      {30 * kSecond, 1, 30 * kSecond, 1},
      {30 * kSecond, 60, kSecond, 30},
      {120 * kSecond, 60, 2 * kSecond, 60},
      {600 * kSecond, 60, 10 * kSecond, 60},
      {600 * kSecond, 600, kSecond, 600},
      {600 * kSecond, 0, 600 * kSecond, 1},  // 0 frames counts as 1
      {30 * kSecond + 1, 60, kSecond, 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.duration);
    const Ticks step = board_step(c.duration, c.frames);
    EXPECT_EQ(step.count(), c.step) << c.frames;
    const auto targets = board_targets(c.duration, step);
    ASSERT_EQ(targets.size(), c.targets);
    EXPECT_EQ(targets.front(), Ticks{0});
    EXPECT_EQ(targets.back(), step * static_cast<std::int64_t>(c.targets - 1));
  }
  // A duration at the end of the range neither wraps nor runs away.
  const std::uint64_t huge = std::numeric_limits<std::uint64_t>::max();
  const auto targets = board_targets(huge, board_step(huge, 600));
  EXPECT_GT(targets.size(), 1u);
  EXPECT_LE(targets.size(), 601u);
}

TEST(BoardPlan, PictureSizes) {
  struct Case {
    std::uint32_t width, height, board_width;
    BoardSize out;
  } cases[] = {
      {1280, 720, 640, {640, 360}},
      {1280, 720, 1920, {1280, 720}},   // never wider than the clip
      {1920, 1080, 1920, {1920, 1080}},
      {40, 30, 640, {64, 48}},          // but at least 64
      {1000, 2, 640, {640, 2}},         // a height below 3 is 2
      {1001, 3, 641, {640, 2}},         // odd sides round down to even
      {641, 481, 1920, {640, 480}},
      {3840, 100, 640, {640, 16}},      // wide
      {0, 0, 640, {64, 2}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(board_out_size(c.width, c.height, c.board_width), c.out)
        << c.width << "x" << c.height << " at " << c.board_width;
}

TEST(BoardPlan, TheIndexByteForByte) {
  const std::vector<BoardFrame> frames = {
      {Ticks{-5}, 0, 1200},          // a negative stamp counts as 0
      {Ticks{10'004'999}, 1200, 900},  // 1000.4999 ms rounds down
      {Ticks{10'005'000}, 2100, 800},  // a half rounds away from zero
  };
  EXPECT_EQ(board_index_text({640, 360}, 123'456'789, frames, {1'048'576, 1'765'432'100'000}),
            R"({"duration":12.346,"frames":[{"n":1200,"o":0,"t":0.0},{"n":900,"o":1200,"t":1.0},)"
            R"({"n":800,"o":2100,"t":1.001}],"h":360,"source":{"mtime":1765432100000,"size":1048576},)"
            R"("v":1,"w":640})");
  EXPECT_EQ(board_index_text({64, 2}, 0, {}, {}),
            R"({"duration":0.0,"frames":[],"h":2,"source":{"mtime":0,"size":0},"v":1,"w":64})");
  EXPECT_EQ(board_result_line(10, 123456, {640, 360}, 87),
            R"({"bytes":123456,"frames":10,"h":360,"ms":87,"w":640})");
  EXPECT_EQ(board_write_error(WinError{0x80070070u, "There is not enough space on the disk."}).text(),
            "writing the board: There is not enough space on the disk. (0x80070070) (0x80004005)");
}

}  // namespace
}  // namespace orvelle::clips
