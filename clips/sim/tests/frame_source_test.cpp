// The simulated game's pictures: when they are presented, what they show,
// the pool of two buffers, and the thread that presents them on a clock.

#include "sim/frame_source.h"

#include "sim/tests/manual_clock.h"
#include "sim/tests/pictures.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace orvelle::clips::sim {
namespace {

using namespace std::chrono_literals;
using orvelle::clips::Deadline;

constexpr Ticks ms(std::int64_t n) { return Ticks{n * 10'000}; }
// Capture times are the clock's readings; the simulation starts at an
// arbitrary one, never 0.
constexpr Ticks kStart{123'456'789'000};

Scenario game(Size client = {320, 180}) {
  Scenario s;
  s.window.client = client;
  s.window.frame = {1, 31, 1, 1};
  s.window.appear = ms(500);
  s.fps = 60;
  s.events = {{ms(1000), WindowAction::minimise, {}},
              {ms(1500), WindowAction::restore, {}},
              {ms(2000), WindowAction::resize, {480, 270}},
              {ms(2500), WindowAction::close, {}}};
  return s;
}

// The code in a frame's client area, read the way the recorder would crop it.
std::optional<std::uint64_t> code_of(const BgraFrame& frame, const FrameInsets& f) {
  const Size item = frame.picture->size();
  Rect client{static_cast<std::int32_t>(f.left), static_cast<std::int32_t>(f.top),
              static_cast<std::int32_t>(item.width - f.right), static_cast<std::int32_t>(item.height - f.bottom)};
  auto luma = luma_of(*frame.picture, client);
  const Size size{static_cast<std::uint32_t>(client.right - client.left),
                  static_cast<std::uint32_t>(client.bottom - client.top)};
  return read_time_code(luma.data(), size.width, size);
}

TEST(FrameSource, PresentsOnTheGameRateFromTheWindowsAppearance) {
  Scenario s = game();
  ScriptedWindow window(s);
  FrameSource source(window, 60, kStart);
  EXPECT_EQ(source.present_time(0), kStart + ms(500));
  EXPECT_EQ(source.present_time(1), kStart + ms(500) + Ticks{166'666});
  EXPECT_EQ(source.present_time(3), kStart + ms(550));
  EXPECT_EQ(source.present_time(60), kStart + ms(1500));

  struct Case {
    Ticks t;
    std::uint64_t k;
  } cases[] = {{kStart, 0},
               {kStart + ms(500), 0},
               {kStart + ms(500) + Ticks{1}, 1},
               {kStart + ms(500) + Ticks{166'666}, 1},
               {kStart + ms(500) + Ticks{166'667}, 2},
               {kStart + ms(550), 3},
               {kStart + ms(1500), 60}};
  for (const Case& c : cases) EXPECT_EQ(source.first_at_or_after(c.t), c.k) << c.t.count();
}

TEST(FrameSource, PicturesShowTheirCaptureTimeInTheClientArea) {
  Scenario s = game();
  ScriptedWindow window(s);
  FrameSource source(window, 60, kStart);
  struct Case {
    Ticks since_start;
    bool shown;
    Size item;
  } cases[] = {
      {ms(499), false, {}},           {ms(500), true, {322, 212}},  {ms(777), true, {322, 212}},
      {ms(1000), false, {}},          {ms(1499), false, {}},        {ms(1500), true, {322, 212}},
      {ms(2000) + Ticks{5}, true, {482, 302}}, {ms(2500), false, {}}, {ms(9000), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.since_start.count());
    auto frame = source.present(kStart + c.since_start);
    ASSERT_EQ(frame.has_value(), c.shown);
    if (!frame) continue;
    EXPECT_EQ(frame->time, kStart + c.since_start);
    EXPECT_EQ(frame->content, c.item);
    EXPECT_EQ(frame->picture->size(), c.item);
    EXPECT_EQ(code_of(*frame, s.window.frame), time_code(c.since_start));
  }
  EXPECT_FALSE(source.closed_by(kStart + ms(2499)));
  EXPECT_TRUE(source.closed_by(kStart + ms(2500)));
  EXPECT_FALSE(source.closed_by(kStart));  // not yet there is not closed
}

TEST(FrameSource, TwoBuffersAreReusedOnceLetGo) {
  Scenario s = game();
  ScriptedWindow window(s);
  FrameSource source(window, 60, kStart);
  auto a = source.present(kStart + ms(600));
  auto b = source.present(kStart + ms(617));
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->picture.get(), b->picture.get());
  EXPECT_FALSE(source.present(kStart + ms(634)));
  EXPECT_EQ(source.pool_misses(), 1u);

  const BgraPicture* first = a->picture.get();
  a.reset();
  auto c = source.present(kStart + ms(650));
  ASSERT_TRUE(c);
  EXPECT_EQ(c->picture.get(), first);
  EXPECT_EQ(code_of(*c, s.window.frame), 650u);
}

struct Delivered {
  std::mutex mutex;
  std::vector<BgraFrame> frames;
  void add(BgraFrame f) {
    std::lock_guard lock(mutex);
    frames.push_back(std::move(f));
  }
};

TEST(FramePump, RunsThroughTheScriptOnItsClock) {
  const Deadline deadline(60s, "the pump's script");
  Scenario s = game();
  ScriptedWindow window(s);
  FrameSource source(window, 60, kStart);
  ManualClock clock(kStart);
  Delivered got;
  {
    FramePump pump(source, clock, [&](BgraFrame f) {
      // Keep only the facts: the pool has two buffers.
      f.picture.reset();
      got.add(std::move(f));
    });
    while (clock.now() < kStart + ms(2500)) std::this_thread::sleep_for(1ms);
  }
  // 0.5 s shown, 0.5 s minimised, 1 s shown (half of it resized), then closed.
  ASSERT_EQ(got.frames.size(), 30u + 60u);
  for (std::size_t i = 0; i < got.frames.size(); ++i) {
    const std::uint64_t k = i < 30 ? i : i + 30;
    EXPECT_EQ(got.frames[i].time, source.present_time(k)) << i;
    EXPECT_EQ(got.frames[i].content, (k < 90 ? Size{322, 212} : Size{482, 302})) << i;
  }
}

TEST(FramePump, AGameThatFellBehindSkipsRatherThanCatchingUp) {
  const Deadline deadline(60s, "a game that fell behind");
  Scenario s = game();
  s.events.clear();
  ScriptedWindow window(s);
  FrameSource source(window, 60, kStart);
  ManualClock clock(kStart + ms(500));
  Delivered got;
  std::atomic<int> seen{0};
  {
    FramePump pump(source, clock, [&](BgraFrame f) {
      // The fifth picture takes three frame times to hand over.
      if (++seen == 6) clock.advance(3 * Ticks{166'666});
      f.picture.reset();
      got.add(std::move(f));
    });
    while (seen < 10) std::this_thread::sleep_for(1ms);
  }
  std::vector<std::uint64_t> ks;
  for (const BgraFrame& f : got.frames) ks.push_back(source.first_at_or_after(f.time));
  ks.resize(8);
  EXPECT_EQ(ks, (std::vector<std::uint64_t>{0, 1, 2, 3, 4, 5, 8, 9}));
}

TEST(FramePump, StopsPromptlyInRealTime) {
  const Deadline deadline(30s, "the pump's stop");
  Scenario s;
  s.window.client = {160, 90};
  s.fps = 100;
  SteadyClock clock;
  ScriptedWindow window(s);
  FrameSource source(window, s.fps, clock.now());
  std::atomic<int> frames{0};
  auto pump = std::make_unique<FramePump>(source, clock, [&](BgraFrame) { ++frames; });
  std::this_thread::sleep_for(300ms);
  const auto before = std::chrono::steady_clock::now();
  pump.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
  // About 30 pictures in 0.3 s; a loaded machine may lose a few.
  EXPECT_GE(frames.load(), 15);
  EXPECT_LE(frames.load(), 32);
}

}  // namespace
}  // namespace orvelle::clips::sim
