// The statistics and total lines word for word. This binary also runs in the
// Windows build, so each figure is shown to print the same bytes there.

#include "record/statistics.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvelle::clips {
namespace {

TEST(StatisticsLine, DifferencesInTheirColumns) {
  const CounterReadings before{100, 40, 3, 7, 55, 50, 10 * 1024, 1};
  struct Case {
    CounterReadings now;
    std::uint64_t tick, in_flight;
    BufferFill buffer;
    const char* line;
  } cases[] = {
      // A second with no frames: zeros, the totals and the buffer still held.
      {before, 12, 1, {64.0166, 5 * 1'048'576 + 1},
       "[  12s] captured   0 paced-out   0 busy-drop  0 sent   0 packets   0 key 0     0 kB"
       "  in-flight 1 size-skip 7  buffer 64.0 s 5 MB"},
      // Wider numbers are not cut; the kB are whole.
      {{100 + 12'345, 40 + 1000, 3 + 123, 9, 55 + 4321, 50 + 4320, 10 * 1024 + 123'456 * 1024 + 1023, 73},
       12'345, 4, {600.95, 0},
       "[12345s] captured 12345 paced-out 1000 busy-drop 123 sent 4321 packets 4320 key 72 123456 kB"
       "  in-flight 4 size-skip 9  buffer 601.0 s 0 MB"},
  };
  for (const Case& c : cases) EXPECT_EQ(statistics_line(c.tick, c.now, before, c.in_flight, c.buffer), c.line);
}

TEST(StatisticsLine, OneDecimalRoundsTheExactValueHalfToEven) {
  struct Case {
    double seconds;
    const char* shown;
  } cases[] = {{0.25, "0.2"}, {12.25, "12.2"}, {0.45, "0.5"}, {0.35, "0.3"}, {9.96, "10.0"}};
  for (const Case& c : cases) {
    const std::string line = statistics_line(1, {}, {}, 0, {c.seconds, 0});
    EXPECT_TRUE(line.ends_with(std::string("buffer ") + c.shown + " s 0 MB")) << line;
  }
}

TEST(TotalLine, RatesOverTheSessionsLength) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  struct Case {
    Ticks elapsed;
    CounterReadings totals;
    const char* line;
  } cases[] = {
      {std::chrono::seconds(10), {650, 20, 5, 0, 601, 600, 12'500'000, 10},
       "total 10.0 s: captured 650 sent 601 packets 600 (60.0 fps) 12207 kB (10000 kbit/s) "
       "keyframes 10 paced-out 20 busy-drop 5"},
      // Less than a millisecond counts as one.
      {Ticks{9'000}, {1, 0, 0, 0, 1, 1, 1000, 1},
       "total 0.0 s: captured 1 sent 1 packets 1 (1000.0 fps) 0 kB (8000 kbit/s) keyframes 1 "
       "paced-out 0 busy-drop 0"},
      {Ticks{0}, {}, "total 0.0 s: captured 0 sent 0 packets 0 (0.0 fps) 0 kB (0 kbit/s) keyframes 0 "
                     "paced-out 0 busy-drop 0"},
      // A rate beyond the range prints the largest value.
      {Ticks{0}, {0, 0, 0, 0, 0, 0, kMax, 0},
       "total 0.0 s: captured 0 sent 0 packets 0 (0.0 fps) 18014398509481983 kB "
       "(18446744073709551615 kbit/s) keyframes 0 paced-out 0 busy-drop 0"},
      {std::chrono::milliseconds(2'250), {0, 0, 0, 0, 0, 9, 0, 0},
       "total 2.2 s: captured 0 sent 0 packets 9 (4.0 fps) 0 kB (0 kbit/s) keyframes 0 "
       "paced-out 0 busy-drop 0"},
  };
  for (const Case& c : cases) EXPECT_EQ(total_line(c.elapsed, c.totals), c.line);
}

}  // namespace
}  // namespace orvelle::clips
