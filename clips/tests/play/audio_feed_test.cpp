#include "play/audio_feed.h"

#include "play/fake_sound.h"
#include "play/fake_time.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvelle::clips {
namespace {

TEST(AudioFeed, ASeekIntoASampleDropsWhatLiesBeforeTheTarget) {
  // Samples of 20 ms: sample 499 starts at 9.98 s; a seek to 10.0 s drops
  // its first 960 frames of two samples each, and everything before it.
  ScriptedSound script; script.frames_per_sample = 1920; script.samples = 600;
  FakeSoundReader reader(script);
  RecordingDevice device(1920);
  AudioFeed feed(reader, device, script.format);
  ASSERT_TRUE(reader.seek(99'800'000));  // where the platform's reader lands: sample 249 of 40 ms
  feed.restart(100'000'000);
  ASSERT_TRUE(fill_render_buffer(feed, 1.0f));
  // Sample 249 (value 250) starts at 9.96 s: 0.04 s × 48000 = 1920 frames
  // dropped, i.e. all of it; sample 250 starts at 10.0 s and is kept whole.
  EXPECT_FALSE(feed.seek_pending);
  EXPECT_EQ(device.written.front(), 251.0f);

  // A sample starting 20 ms before the target.
  ScriptedSound short_samples; short_samples.frames_per_sample = 960; short_samples.samples = 600;
  FakeSoundReader second(short_samples);
  RecordingDevice device2(960);
  AudioFeed feed2(second, device2, short_samples.format);
  ASSERT_TRUE(second.seek(99'800'000));  // sample 499, at 9.98 s
  feed2.restart(100'000'000);
  ASSERT_TRUE(fill_render_buffer(feed2, 1.0f));
  // 960 × 2 of sample 499 dropped (all of it): the device's first value is
  // sample 500's.
  EXPECT_EQ(device2.written.front(), 501.0f);
  EXPECT_EQ(device2.written.size(), 960u * 2);
}

// A seek to 1e300 s with the duration unknown: the target saturates to the
// largest i64, and the stream's first sample lies before 0 (the encoder's
// priming). Every sample is dropped and the device gets silence.
TEST(AudioFeed, ATargetFarPastTheEndDropsEverySample) {
  ScriptedSound script; script.frames_per_sample = 1024; script.samples = 10; script.first_time = -213'333;
  FakeSoundReader reader(script);
  RecordingDevice device(960);
  AudioFeed feed(reader, device, script.format);
  feed.restart(INT64_MAX);
  ASSERT_TRUE(fill_render_buffer(feed, 1.0f));
  EXPECT_TRUE(feed.ended);
  EXPECT_TRUE(feed.seek_pending);
  ASSERT_EQ(device.written.size(), 1920u);
  EXPECT_EQ(std::count(device.written.begin(), device.written.end(), 0.0f), 1920);
}

TEST(AudioFeed, ASampleReachingPastTheTargetKeepsItsTail) {
  ScriptedSound script; script.frames_per_sample = 960; script.samples = 10;
  FakeSoundReader reader(script);
  RecordingDevice device(960);
  AudioFeed feed(reader, device, script.format);
  feed.restart(50'000);  // 5 ms into sample 0: 240 frames dropped
  ASSERT_TRUE(fill_render_buffer(feed, 1.0f));
  ASSERT_EQ(device.written.size(), 1920u);
  EXPECT_EQ(std::count(device.written.begin(), device.written.end(), 1.0f), 720 * 2);
  EXPECT_EQ(std::count(device.written.begin(), device.written.end(), 2.0f), 240 * 2);
}

TEST(AudioFeed, VolumeScalesEverySampleAndTheEndIsSilence) {
  struct Case {
    float volume, first;
  } cases[] = {{0.0f, 0.0f}, {0.5f, 0.5f}, {1.0f, 1.0f}};
  for (const auto& c : cases) {
    ScriptedSound script; script.samples = 1;
    FakeSoundReader reader(script);
    RecordingDevice device(4800);
    AudioFeed feed(reader, device, script.format);
    ASSERT_TRUE(fill_render_buffer(feed, c.volume));
    EXPECT_TRUE(feed.ended);
    ASSERT_EQ(device.written.size(), 9600u);
    EXPECT_EQ(device.written[0], c.first);
    EXPECT_EQ(device.written[1919], c.first);
    EXPECT_TRUE(std::all_of(device.written.begin() + 1920, device.written.end(), [](float v) { return v == 0; }));
  }
}

TEST(AudioFeed, AFullDeviceBufferTakesNothingAndDecodesNothing) {
  ScriptedSound script;
  FakeSoundReader reader(script);
  RecordingDevice device(4800);
  device.padding_ = 4800;
  AudioFeed feed(reader, device, script.format);
  ASSERT_TRUE(fill_render_buffer(feed, 1));
  EXPECT_EQ(reader.reads, 0);
  EXPECT_TRUE(device.written.empty());
}

TEST(AudioFeed, EmptyReadsAreBoundedSoTheThreadGoesOn) {
  ScriptedSound never; never.forever_empty = true;
  FakeSoundReader reader(never);
  RecordingDevice device(480);
  AudioFeed feed(reader, device, never.format);
  ASSERT_TRUE(fill_render_buffer(feed, 1));
  EXPECT_EQ(reader.reads, 240);
  EXPECT_TRUE(feed.ended);
  EXPECT_EQ(device.written.size(), 960u);  // silence

  // Some empty reads between samples are no end.
  ScriptedSound gaps; gaps.empty_reads = 100; gaps.samples = 3;
  FakeSoundReader gappy(gaps);
  RecordingDevice device2(2880);
  AudioFeed feed2(gappy, device2, gaps.format);
  ASSERT_TRUE(fill_render_buffer(feed2, 1));
  EXPECT_EQ(device2.written.back(), 3.0f);
}

TEST(AudioFeed, ATypeChangeToAnotherLayoutIsAnErrorNotNoise) {
  ScriptedSound same; same.samples = 5; same.type_change_at = 1;
  FakeSoundReader reader(same);
  RecordingDevice device(4800);
  AudioFeed feed(reader, device, same.format);
  EXPECT_TRUE(fill_render_buffer(feed, 1));  // the same layout plays on

  ScriptedSound mono; mono.samples = 5; mono.type_change_at = 1; mono.changed_to = {1, 48'000, true};
  FakeSoundReader changing(mono);
  RecordingDevice device2(4800);
  AudioFeed feed2(changing, device2, mono.format);
  auto filled = fill_render_buffer(feed2, 1);
  ASSERT_FALSE(filled);
  EXPECT_EQ(filled.error().code, hresult::kUnsupportedFormat);
  EXPECT_TRUE(device2.written.empty());
}

TEST(Reanchor, MovesTheClockOnlyForTheLeadOrMoreThan15msApart) {
  ManualPlayTime time;
  PlayerOptions options;
  options.autoplay = true;
  PlayerState state(time, options);
  {
    std::lock_guard lock(state.playback);
    state.seeking = false;
    state.audio_on = true;
    update_play_clock(state);
  }
  std::int64_t t0 = state.clock.anchor_time;
  ASSERT_TRUE(state.clock.lead);
  // The first good reading ends the lead whatever it says.
  reanchor_clock(state, 1, 0.0, {4800, t0 + 1'000'000}, 48'000);
  EXPECT_FALSE(state.clock.lead);
  EXPECT_DOUBLE_EQ(state.clock.anchor_position, 0.1);
  EXPECT_EQ(state.clock.anchor_time, t0 + 1'000'000);
  // 15 ms apart: left alone; a little more: moved.
  reanchor_clock(state, 1, 0.0, {9600 - 720, t0 + 2'000'000}, 48'000);
  EXPECT_DOUBLE_EQ(state.clock.anchor_position, 0.1);
  reanchor_clock(state, 1, 0.0, {9600 - 721, t0 + 2'000'000}, 48'000);
  EXPECT_NEAR(state.clock.anchor_position, 0.2 - 721 / 48'000.0, 1e-12);
  // An older generation or a clock that does not run is not touched.
  PlaybackClock before = state.clock;
  reanchor_clock(state, 7, 5.0, {0, t0 + 3'000'000}, 48'000);
  EXPECT_EQ(state.clock.anchor_position, before.anchor_position);
  apply_player_command(state, PauseCommand{});
  before = state.clock;
  reanchor_clock(state, 1, 5.0, {0, t0 + 3'000'000}, 48'000);
  EXPECT_EQ(state.clock.anchor_position, before.anchor_position);
  // No counter time: skipped.
  apply_player_command(state, PlayCommand{});
  before = state.clock;
  reanchor_clock(state, 1, 5.0, {0, 0}, 48'000);
  EXPECT_EQ(state.clock.anchor_position, before.anchor_position);
}

}  // namespace
}  // namespace orvelle::clips
