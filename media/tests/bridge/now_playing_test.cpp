#include "bridge/now_playing.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

constexpr std::int64_t kEpoch = 116'444'736'000'000'000;

TEST(Timeline, Arithmetic) {
  struct Case {
    const char* what;
    TimelineTicks t;
    std::optional<TimelineSnapshot> cached;
    TimelineSnapshot out;
  } cases[] = {
      {"offset start", {5'000'000, 1'805'000'000, 905'000'000, kEpoch + 10'000 * 1000}, {}, {90'000, 180'000, 1000}},
      {"before the start", {5'000'000, 1'805'000'000, 1'000, kEpoch + 20'000}, {}, {0, 180'000, 2}},
      {"end before start", {5'000'000, 1'000'000, 3'000'000, kEpoch + 20'000}, {}, {0, 0, 2}},
      {"past the end", {0, 10'000'000, 20'000'000, kEpoch + 20'000}, {}, {1000, 1000, 2}},
      {"negative ticks truncate toward zero", {-19'999, 10'000, 15'000, kEpoch + 10'000}, {}, {2, 2, 1}},
      {"no update time: cached at kept", {0, 10'000'000, 5'000'000, 0}, TimelineSnapshot{500, 1000, 42}, {500, 1000, 42}},
      {"less than 1 ms after 1970 counts as none", {0, 10'000'000, 5'000'000, kEpoch + 9'999},
       TimelineSnapshot{500, 1000, 42}, {500, 1000, 42}},
      {"moved: the refresh's time", {0, 10'000'000, 6'000'000, 0}, TimelineSnapshot{500, 1000, 42}, {600, 1000, 777}},
      {"extreme ticks", {INT64_MIN, INT64_MAX, INT64_MAX, INT64_MAX}, {}, {1'844'674'407'370'954, 1'844'674'407'370'954, (INT64_MAX - kEpoch) / 10'000}},
  };
  for (const Case& c : cases) {
    TimelineSnapshot s = timeline_snapshot(c.t, c.cached, 777);
    EXPECT_EQ(s.position, c.out.position) << c.what;
    EXPECT_EQ(s.duration, c.out.duration) << c.what;
    EXPECT_EQ(s.at, c.out.at) << c.what;
  }
}

TEST(Timeline, StatusWords) {
  EXPECT_EQ(status_word(4), "playing");
  EXPECT_EQ(status_word(1), "opened");
  EXPECT_EQ(status_word(5), "paused");
  EXPECT_EQ(status_word(0), "closed");
  EXPECT_EQ(status_word(6), "closed");
  EXPECT_EQ(status_word(-1), "closed");
  EXPECT_EQ(status_word(std::nullopt), "closed");
}

}  // namespace
}  // namespace orvelle::media
