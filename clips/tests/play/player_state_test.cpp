#include "play/player_state.h"

#include "play/fake_time.h"
#include "support/captured_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvelle::clips {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct StateTest : ::testing::Test {
  ManualPlayTime time;
  PlayerOptions options;
  std::unique_ptr<PlayerState> state;
  void SetUp() override { state = std::make_unique<PlayerState>(time, options); }
  void started(double duration = 10) {
    std::lock_guard lock(state->playback);
    state->duration = duration;
    state->seeking = false;
    update_play_clock(*state);
  }
};

TEST(PlayerStateStart, TakesTheOptions) {
  ManualPlayTime time;
  struct Case {
    double start;
    float volume;
    double position;
    float volume_after;
  } cases[] = {{2.5, 0.5f, 2.5, 0.5f}, {-3, 7, 0, 1}, {kNaN, -1, 0, 0}, {kInf, std::nanf(""), 0, 1}};
  for (const auto& c : cases) {
    PlayerOptions o;
    o.start = c.start;
    o.volume = c.volume;
    o.autoplay = true;
    PlayerState s(time, o);
    EXPECT_EQ(s.position, c.position) << c.start;
    EXPECT_EQ(s.clock.anchor_position, c.position);
    EXPECT_EQ(s.volume, c.volume_after) << c.volume;
    EXPECT_TRUE(s.playing && s.seeking && !s.clock.running);
    EXPECT_EQ(s.seek_generation, 1u);
  }
}

TEST_F(StateTest, SeekClampsToTheClip) {
  started(10);
  struct Case {
    double t, position;
  } cases[] = {{4.5, 4.5}, {-1, 0}, {11, 10}, {kNaN, 0}, {kInf, 0}, {-kInf, 0}};
  std::uint32_t generation = state->seek_generation;
  for (const auto& c : cases) {
    apply_player_command(*state, SeekCommand{c.t});
    EXPECT_EQ(state->position, c.position) << c.t;
    EXPECT_EQ(state->seek_generation, ++generation);
    EXPECT_TRUE(state->seeking);
    EXPECT_EQ(state->clock.anchor_position, c.position);
    EXPECT_FALSE(state->clock.running);
  }
}

TEST_F(StateTest, VolumeClampsAndMapsNonNumbersToFull) {
  struct Case {
    float v, volume;
  } cases[] = {{0.25f, 0.25f}, {7, 1}, {-1, 0}, {std::nanf(""), 1},
               {std::numeric_limits<float>::infinity(), 1}, {-std::numeric_limits<float>::infinity(), 1}};
  for (const auto& c : cases) {
    apply_player_command(*state, VolumeCommand{c.v});
    EXPECT_EQ(state->volume, c.volume) << c.v;
  }
}

TEST_F(StateTest, PauseFoldsTheElapsedTimeOnceAndPlayRestamps) {
  options.autoplay = true;
  SetUp();
  started();
  EXPECT_TRUE(state->clock.running);
  time.advance(20'000'000);
  EXPECT_DOUBLE_EQ(read_play_clock(*state), 2.0);
  apply_player_command(*state, PauseCommand{});
  PlaybackClock paused = state->clock;
  EXPECT_DOUBLE_EQ(paused.anchor_position, 2.0);
  time.advance(50'000'000);
  apply_player_command(*state, PauseCommand{});
  EXPECT_EQ(state->clock.anchor_time, paused.anchor_time);  // running did not change
  EXPECT_DOUBLE_EQ(read_play_clock(*state), 2.0);
  apply_player_command(*state, PlayCommand{});
  time.advance(5'000'000);
  EXPECT_DOUBLE_EQ(read_play_clock(*state), 2.5);
}

TEST_F(StateTest, TheLeadHoldsTheClockForItsFirstThreeTenthsWithSound) {
  state->audio_on = true;
  started();
  apply_player_command(*state, PlayCommand{});
  EXPECT_TRUE(state->clock.lead);
  time.advance(2'999'999);
  EXPECT_EQ(read_play_clock(*state), 0.0);
  time.advance(1'000'001);
  EXPECT_DOUBLE_EQ(read_play_clock(*state), 0.1);
  // Pausing folds only the time past the lead into the position.
  apply_player_command(*state, PauseCommand{});
  EXPECT_DOUBLE_EQ(state->clock.anchor_position, 0.1);
  EXPECT_FALSE(state->clock.lead);
}

TEST_F(StateTest, EndedIsReportedOncePerGenerationAndOnlyForTheCurrentOne) {
  CapturedLines lines;
  options.autoplay = true;
  SetUp();
  started();
  finish_playback(*state, 2);  // a generation a seek has not made yet
  EXPECT_EQ(lines.out(), "");
  finish_playback(*state, 1);
  finish_playback(*state, 1);
  EXPECT_EQ(lines.out(), "{\"event\":\"ended\",\"gen\":1}\n");
  EXPECT_TRUE(state->ended);
  EXPECT_FALSE(state->playing);
  EXPECT_FALSE(state->clock.running);

  // Play after the end says playing but the clock stays where it was.
  apply_player_command(*state, PlayCommand{});
  EXPECT_TRUE(state->playing);
  time.advance(10'000'000);
  EXPECT_FALSE(state->clock.running);

  apply_player_command(*state, SeekCommand{1});
  finish_playback(*state, 1);  // overtaken by the seek
  EXPECT_EQ(lines.out(), "{\"event\":\"ended\",\"gen\":1}\n");
  EXPECT_FALSE(state->ended);
}

TEST_F(StateTest, ACompletedSeekStartsTheClockOnlyForItsOwnGeneration) {
  options.autoplay = true;
  SetUp();
  apply_player_command(*state, SeekCommand{3});  // generation 2
  complete_seek(*state, 1);
  EXPECT_TRUE(state->seeking);
  complete_seek(*state, 2);
  EXPECT_FALSE(state->seeking);
  EXPECT_TRUE(state->clock.running);
  time.advance(10'000'000);
  EXPECT_DOUBLE_EQ(read_play_clock(*state), 4.0);
}

TEST_F(StateTest, StopStopsTheClock) {
  options.autoplay = true;
  SetUp();
  started();
  apply_player_command(*state, PlayerStopCommand{});
  EXPECT_TRUE(state->stop);
  EXPECT_FALSE(state->clock.running);
}

}  // namespace
}  // namespace orvelle::clips
