// The simulation's capture factory on its own: the game's pictures reach the
// core's frame handler at the size the capture expects, and come out of the
// encoder into the ring. A wrong expected size would make every frame a
// size skip, which only a clip would show otherwise.

#include "sim/sim_capture.h"

#include "common/console.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvelle::clips::sim {
namespace {

using namespace std::chrono_literals;
using orvelle::clips::Deadline;

TEST(SimCapture, FramesArriveAtTheExpectedSizeAndReachTheRing) {
  struct Case {
    Size client;
    FrameInsets frame;
    Size encode;
  } cases[] = {
      {{1280, 720}, {1, 31, 1, 1}, {1280, 720}},
      {{333, 201}, {8, 31, 8, 8}, {332, 200}},  // odd sides: the encode size is even
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.client.width);
    Deadline deadline{30s, "sim capture"};
    set_line_writer([](Stream, std::string_view) {});  // the capture's log lines
    Scenario scenario;
    scenario.window.client = c.client;
    scenario.window.frame = c.frame;
    ScriptedWindow window(scenario);
    SteadyClock clock;
    const Ticks start = clock.now();
    SimWindows windows(window, clock, start);
    auto output = std::make_shared<OutputSettings>(OutputSettings{true});
    auto ring = std::make_shared<Ring>(
        30, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
    auto stats = std::make_shared<CaptureStats>();
    RecorderOptions options;
    options.fps = 30;
    SimCaptureFactory factory({options, scenario, window, windows, clock, start, ring, stats, output});

    auto capture = factory.start();
    ASSERT_TRUE(capture) << capture.error().text();
    EXPECT_EQ((*capture)->frame_size(), c.encode);
    EXPECT_EQ((*capture)->codec(), kSimCodec);
    while (reading(stats->keyframes) == 0 || reading(stats->packets) < 3)
      std::this_thread::sleep_for(5ms);
    (*capture)->close();

    EXPECT_GT(reading(stats->captured), 0u);
    EXPECT_EQ(reading(stats->size_skip), 0u);
    EXPECT_GT(reading(stats->sent), 0u);
    EXPECT_TRUE(snapshot_ring(*ring).has_value());
    set_line_writer(nullptr);
  }
}

}  // namespace
}  // namespace orvelle::clips::sim
