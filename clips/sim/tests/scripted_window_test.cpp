// The scripted window over its timeline: what the platform would report of
// it at each instant, from before it appears until after it closes.

#include "sim/scripted_window.h"

#include <gtest/gtest.h>

namespace orvelle::clips::sim {
namespace {

constexpr Ticks ms(std::int64_t n) { return Ticks{n * 10'000}; }

Scenario script() {
  Scenario s;
  s.window.appear = ms(1000);
  s.window.client = {1280, 720};
  s.window.frame = {8, 31, 8, 8};
  s.events = {{ms(3000), WindowAction::minimise, {}},
              {ms(4000), WindowAction::resize, {960, 540}},  // while minimised
              {ms(5000), WindowAction::restore, {}},
              {ms(5000), WindowAction::minimise, {}},
              {ms(5000), WindowAction::restore, {}},
              {ms(6000), WindowAction::restore, {}},  // already restored
              {ms(7000), WindowAction::resize, {159, 90}},
              {ms(9000), WindowAction::close, {}}};
  return s;
}

TEST(ScriptedWindow, FollowsItsScript) {
  struct Case {
    std::int64_t at_ms;
    bool exists, minimised;
    Size client;
  } cases[] = {
      {-1, false, false, {}},      {0, false, false, {}},        {999, false, false, {}},
      {1000, true, false, {1280, 720}}, {2999, true, false, {1280, 720}},
      {3000, true, true, {0, 0}},  {4500, true, true, {0, 0}},   {5000, true, false, {960, 540}},
      {6500, true, false, {960, 540}}, {7000, true, false, {159, 90}}, {8999, true, false, {159, 90}},
      {9000, false, false, {}},    {100'000, false, false, {}},
  };
  ScriptedWindow window(script());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at_ms);
    WindowState s = window.at(ms(c.at_ms));
    EXPECT_EQ(s.exists, c.exists);
    EXPECT_EQ(s.minimised, c.minimised);
    EXPECT_EQ(s.client, c.client);
  }
}

TEST(ScriptedWindow, FrameSurroundsTheClientArea) {
  ScriptedWindow window(script());
  WindowState shown = window.at(ms(1000));
  EXPECT_EQ(shown.client_area, (Rect{kWindowLeft + 8, kWindowTop + 31, kWindowLeft + 8 + 1280,
                                     kWindowTop + 31 + 720}));
  EXPECT_EQ(shown.frame, (Rect{kWindowLeft, kWindowTop, kWindowLeft + 1296, kWindowTop + 759}));
  EXPECT_EQ(shown.item(), (Size{1296, 759}));

  // Minimised, the window is parked off the screen with an empty client area.
  WindowState hidden = window.at(ms(3000));
  EXPECT_LT(hidden.frame.right, 0);
  EXPECT_EQ(hidden.client_area.right - hidden.client_area.left, 0);

  Scenario borderless;
  borderless.window.frame = {0, 0, 0, 0};
  WindowState full = ScriptedWindow(borderless).at(ms(0));
  EXPECT_EQ(full.frame, full.client_area);
  EXPECT_EQ(full.item(), (Size{1280, 720}));
}

}  // namespace
}  // namespace orvelle::clips::sim
