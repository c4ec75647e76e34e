// The ring driven by synthetic streams, the way the frame handler, the
// encoder and the sound threads drive it.

#include "ring/ring.h"
#include "ring/sequence_header.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

namespace orvelle::clips {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr Ticks kSecond = kTicksPerSecond;
constexpr Ticks kMs = kTicksPerMillisecond;
constexpr Ticks kTick{1};
constexpr Ticks kFrame = kSecond / 60;
constexpr Ticks kSoundFrame = 1024 * kSecond / 48'000;
// The wall clock at the first frame, and that frame's capture time.
constexpr std::int64_t kWallMs = 1'700'000'000'123;
constexpr Ticks kBase = 5'000 * kSecond;

const Bytes kSps = {0x67, 0x42, 0xC0, 0x1F};
const Bytes kPps = {0x68, 0xCE, 0x3C, 0x80};
const Bytes kHeader = {0, 0, 0, 1, 0x67, 0x42, 0xC0, 0x1F, 0, 0, 0, 1, 0x68, 0xCE, 0x3C, 0x80};

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Packet packet(const Bytes& bytes, Ticks time, Ticks duration, bool key) {
  return {share_bytes(bytes), bytes.size(), time, duration, key};
}

Packet picture(Ticks clip_time, bool key, bool header = true) {
  Bytes slice = {0, 0, 1, std::uint8_t(key ? 0x65 : 0x41), 0x88, 0x84};
  return packet(key && header ? join({kHeader, slice}) : slice, clip_time, kFrame, key);
}

Packet sound(Ticks capture_time) {
  return packet(Bytes(100, 0x21), capture_time, kSoundFrame, true);
}

// One recording: pictures 60 a second from capture time kBase on, a key frame
// every gop pictures, each timed by the ring and appended as the encoder would.
struct Session {
  explicit Session(std::uint32_t seconds, int gop = 60)
      : ring(seconds, {[this] { return system_time.load(); },
                       [this](WindowHandle w) {
                         EXPECT_EQ(w, window);
                         ++asked;
                         return minimised.load();
                       }}),
        gop(gop) {}

  // The picture captured at t, or nothing when the ring dropped it.
  std::optional<Ticks> frame(Ticks t, std::optional<bool> key = {}, bool header = true) {
    if (!started) {
      start_ring(ring, t);
      started = true;
    }
    auto clip = time_video_frame(ring, t, kFrame, window);
    if (!clip) return clip;
    bool is_key = key.value_or(frames % gop == 0);
    ++frames;
    if (is_key) ++groups;
    append_video_packet(ring, picture(*clip, is_key, header));
    capture_of[*clip] = t;
    last_clip = *clip;
    return clip;
  }
  // Pictures at 60 a second for [from, to) of capture time.
  void frames_between(Ticks from, Ticks to) {
    for (std::int64_t i = 0; from + i * kSecond / 60 < to; ++i) frame(from + i * kSecond / 60);
  }
  void sounds_between(Ticks from, Ticks to, bool game = false) {
    for (Ticks t = from; t < to; t += kSoundFrame) push_audio_packet(ring, game, sound(t));
  }

  std::atomic<Ticks> system_time{kUnixEpochInFileTime + kWallMs * kMs};
  std::atomic<bool> minimised{false};
  std::atomic<int> asked{0};  // how often the window's state was asked for
  WindowHandle window = reinterpret_cast<WindowHandle>(0x1234);
  Ring ring;
  int gop;
  bool started = false;
  int frames = 0;
  int groups = 0;
  Ticks last_clip{0};
  std::map<Ticks, Ticks> capture_of;  // clip time to capture time
};

std::vector<Ticks> group_starts(const RingSnapshot& snap) {
  std::vector<Ticks> starts;
  for (const auto& g : snap.groups) starts.push_back(g->video.front().time);
  return starts;
}

std::uint64_t bytes_in(const RingSnapshot& snap) {
  std::uint64_t n = 0;
  for (const auto& g : snap.groups)
    for (const auto* list : {&g->video, &g->audio, &g->game_audio})
      for (const Packet& p : *list) n += p.len;
  return n;
}

TEST(SequenceHeader, TakesTheFirstSpsAndPps) {
  const Bytes idr = {0x65, 0x88};
  struct Case {
    const char* name;
    Bytes frame;
    std::optional<Bytes> header;
  } cases[] = {
      {"4-byte start codes", join({{0, 0, 0, 1}, kSps, {0, 0, 0, 1}, kPps, {0, 0, 0, 1}, idr}), kHeader},
      {"3-byte start codes", join({{0, 0, 1}, kSps, {0, 0, 1}, kPps, {0, 0, 1}, idr}), kHeader},
      {"PPS first, bytes before the first code",
       join({{9, 9}, {0, 0, 1}, kPps, {0, 0, 0, 1}, kSps}), kHeader},
      {"empty units and a code at the very end",
       join({{0, 0, 1, 0, 0, 1}, kSps, {0, 0, 1}, kPps, {0, 0, 1}}), kHeader},
      {"a 4-byte code at the very end", join({{0, 0, 1}, kSps, {0, 0, 1}, kPps, {0, 0, 0, 1}}), kHeader},
      {"the first of two SPS",
       join({{0, 0, 1}, kSps, {0, 0, 1, 0x27, 0x99}, {0, 0, 1}, kPps}), kHeader},
      {"the type is the low five bits", join({{0, 0, 1, 0x27, 1}, {0, 0, 1, 0x28, 2}}),
       Bytes{0, 0, 0, 1, 0x27, 1, 0, 0, 0, 1, 0x28, 2}},
      {"SPS only", join({{0, 0, 0, 1}, kSps, {0, 0, 0, 1}, idr}), std::nullopt},
      {"PPS only", join({{0, 0, 0, 1}, kPps}), std::nullopt},
      {"no start code", join({kSps, kPps}), std::nullopt},
      {"a cut-off 4-byte code", join({{0, 0, 1}, kSps, {0, 0, 1}, kPps, {0, 0, 0}}),
       join({{0, 0, 0, 1}, kSps, {0, 0, 0, 1}, kPps, {0, 0, 0}})},
      {"too short to scan", {0, 0}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(find_sequence_header(c.frame), c.header) << c.name;
}

TEST(Ring, GroupsStartAtKeyFramesAndSavesWaitForTheHeader) {
  Session s(60);
  s.frame(kBase, false);  // before any key frame
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, 0u);
  EXPECT_FALSE(snapshot_ring(s.ring));

  s.frame(kBase + kFrame, true, false);  // a key frame without SPS and PPS
  s.frame(kBase + 2 * kFrame, false);
  EXPECT_FALSE(snapshot_ring(s.ring)) << "no sequence header yet";
  EXPECT_GT(buffer_seconds(s.ring).total_bytes, 0u);

  s.frame(kBase + 3 * kFrame, true);
  s.frame(kBase + 4 * kFrame, true, false);
  auto snap = snapshot_ring(s.ring);
  ASSERT_TRUE(snap);
  EXPECT_EQ(snap->sequence_header, kHeader);
  ASSERT_EQ(snap->groups.size(), 3u);
  EXPECT_EQ(snap->groups[0]->video.size(), 2u);
  EXPECT_EQ(group_starts(*snap), (std::vector<Ticks>{kFrame, 3 * kFrame, 4 * kFrame}));
  EXPECT_EQ(snap->start_wall_ms, kWallMs + kFrame / kMs);
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, bytes_in(*snap));
  EXPECT_DOUBLE_EQ(buffer_seconds(s.ring).seconds, double((4 * kFrame).count()) / kSecond.count());
}

TEST(Ring, TrimsWholeGroupsToSecondsPlusOne) {
  struct Case {
    const char* name;
    std::uint32_t seconds;
    std::vector<int> group_frames;  // cycled
    int frames;
  } cases[] = {
      {"5 s, 2-s groups", 5, {120}, 60 * 20},
      {"5 s, half-second groups", 5, {30}, 60 * 12},
      {"5 s, every picture a key frame", 5, {1}, 60 * 10},
      {"5 s, 10-s groups between 2-s ones", 5, {600, 120, 120}, 60 * 40},
      {"600 s, 2-s groups", 600, {120}, 60 * 640},
      {"asked 3 s: 5 s", 3, {60}, 60 * 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.seconds);
    const Ticks limit = (std::max(c.seconds, 5u) + 1) * kSecond;
    std::size_t next_group = 0;
    int left_in_group = 0;
    for (int i = 0; i < c.frames; ++i) {
      bool key = left_in_group == 0;
      if (key) left_in_group = c.group_frames[next_group++ % c.group_frames.size()];
      --left_in_group;
      s.frame(kBase + i * kSecond / 60, key);
      if (i % 17 != 0 && !key && i + 1 != c.frames) continue;
      auto snap = snapshot_ring(s.ring);
      ASSERT_TRUE(snap);
      auto starts = group_starts(*snap);
      for (const auto& g : snap->groups) ASSERT_TRUE(g->video.front().key);
      if (starts.size() > 1) {
        ASSERT_LE(s.last_clip - starts[1], limit) << "frame " << i;
      }
      if (starts.size() < std::size_t(s.groups)) {
        ASSERT_GT(s.last_clip - starts[0], limit) << "frame " << i;
      }
      ASSERT_EQ(buffer_seconds(s.ring).total_bytes, bytes_in(*snap));
    }
  }
}

TEST(Ring, OldestGroupGoesOnceTheRestSpanMoreThanTheLimit) {
  Session s(5, 120);
  s.frames_between(kBase, kBase + 8 * kSecond + kTick);  // pictures 0..480
  EXPECT_EQ(group_starts(*snapshot_ring(s.ring)).front(), Ticks{0});
  s.frame(kBase + 481 * kSecond / 60);
  EXPECT_EQ(group_starts(*snapshot_ring(s.ring)).front(), 2 * kSecond);
}

TEST(Ring, ALongGroupIsNeverTrimmed) {
  Session s(5, 1 << 30);
  s.frames_between(kBase, kBase + 30 * kSecond);
  auto snap = snapshot_ring(s.ring);
  ASSERT_EQ(snap->groups.size(), 1u);
  EXPECT_EQ(snap->groups[0]->video.size(), 1800u);
  EXPECT_NEAR(buffer_seconds(s.ring).seconds, 30.0, 1e-6);
}

TEST(Ring, NewLengthTakesEffectWithTheNextPicture) {
  Session s(600, 120);
  s.frames_between(kBase, kBase + 60 * kSecond);
  set_ring_seconds(s.ring, 5);
  EXPECT_EQ(snapshot_ring(s.ring)->groups.size(), 30u);
  s.frame(kBase + 60 * kSecond);
  auto starts = group_starts(*snapshot_ring(s.ring));
  EXPECT_EQ(starts.front(), 52 * kSecond);
  set_ring_seconds(s.ring, 1000);  // 600
  s.frames_between(kBase + 60 * kSecond + kFrame, kBase + 700 * kSecond);
  EXPECT_GT(buffer_seconds(s.ring).seconds, 601.0);
  EXPECT_LT(buffer_seconds(s.ring).seconds, 603.1);
}

TEST(Ring, SoundJoinsTheNewestGroupInClipTime) {
  Session s(5, 120);
  push_audio_packet(s.ring, false, sound(kBase));  // before the first picture
  start_ring(s.ring, kBase);
  s.started = true;
  push_audio_packet(s.ring, false, sound(kBase));  // before the first key frame
  s.frame(kBase, false);
  push_audio_packet(s.ring, false, sound(kBase + kFrame));  // still no group
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, 0u);

  s.frame(kBase + kFrame, true);
  push_audio_packet(s.ring, false, sound(kBase - kTick));  // before the ring's start
  s.sounds_between(kBase + kFrame, kBase + 2 * kFrame);
  s.sounds_between(kBase + kFrame, kBase + 2 * kFrame, true);
  auto snap = snapshot_ring(s.ring);
  ASSERT_EQ(snap->groups.size(), 1u);
  ASSERT_EQ(snap->groups[0]->audio.size(), 1u);
  ASSERT_EQ(snap->groups[0]->game_audio.size(), 1u);
  EXPECT_EQ(snap->groups[0]->audio[0].time, kFrame);
  EXPECT_EQ(snap->groups[0]->game_audio[0].time, kFrame);

  // Sound leaves with its group.
  s.frames_between(kBase + 2 * kFrame, kBase + 20 * kSecond);
  snap = snapshot_ring(s.ring);
  for (const auto& g : snap->groups) EXPECT_TRUE(g->audio.empty());
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, bytes_in(*snap));
}

TEST(Ring, PausesCutTheMinimisedTimeOutOfTheClip) {
  Session s(60, 60);
  s.frames_between(kBase, kBase + 2 * kSecond);
  const Ticks last_clip = s.last_clip;
  const Ticks frame_end = kBase + last_clip + kFrame;  // capture time
  // Sound up to a second past the last picture, one packet starting right at its end.
  s.sounds_between(frame_end - 20 * kSoundFrame, frame_end + kSecond);
  s.sounds_between(frame_end - 20 * kSoundFrame, frame_end + kSecond, true);

  const Ticks now = frame_end + 2 * kSecond / 10;
  s.minimised = true;
  pause_ring(s.ring, now);
  pause_ring(s.ring, now + kSecond);  // a second minimise edge changes nothing
  auto snap = snapshot_ring(s.ring);
  for (const auto* list : {&snap->groups.back()->audio, &snap->groups.back()->game_audio}) {
    ASSERT_EQ(list->size(), 20u) << "sound from the pause instant on is cut, the rest kept";
    EXPECT_EQ(list->back().time, frame_end - kBase - kSoundFrame);
  }
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, bytes_in(*snap));

  // Minimised: no picture, no sound.
  EXPECT_FALSE(s.frame(now + kSecond));
  const auto before = buffer_seconds(s.ring).total_bytes;
  s.sounds_between(now, now + kSecond);
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, before);

  // Restored: a picture from before the pause instant is still dropped; the
  // next one carries on where the clip stopped.
  s.minimised = false;
  mark_resume(s.ring);
  const int asked = s.asked;
  EXPECT_FALSE(s.frame(frame_end - kTick));
  const Ticks resume = now + 3 * kSecond;
  auto clip = s.frame(resume);
  ASSERT_TRUE(clip);
  EXPECT_EQ(*clip, last_clip + kFrame);
  EXPECT_EQ(*s.frame(resume + kSecond / 60), last_clip + kFrame + kSecond / 60);

  EXPECT_EQ(s.asked, asked) << "after the restore edge the window is not asked again";

  const Ticks gap = resume - frame_end;
  const std::size_t sounds = snapshot_ring(s.ring)->groups.back()->audio.size();
  // Late sound from inside the pause, its first instant included, is dropped.
  push_audio_packet(s.ring, false, sound(frame_end));
  push_audio_packet(s.ring, false, sound(resume - kSecond));
  push_audio_packet(s.ring, false, sound(resume + kMs));
  snap = snapshot_ring(s.ring);
  ASSERT_EQ(snap->groups.back()->audio.size(), sounds + 1);
  EXPECT_EQ(snap->groups.back()->audio.back().time, resume + kMs - kBase - gap);
  EXPECT_EQ(snap->gaps, (std::vector<SavedGap>{{kWallMs + (frame_end - kBase) / kMs,
                                                std::uint64_t(gap / kMs)}}));
  EXPECT_EQ(snap->start_wall_ms, kWallMs);
}

TEST(Ring, PauseInstant) {
  struct Case {
    const char* name;
    Ticks minimise_after;  // from the end of the last picture
    Ticks pause_from_end;  // where the pause is expected, from the same point
  } cases[] = {
      {"0.2 s after the last picture: at its end", 2 * kSecond / 10, Ticks{0}},
      {"seconds without pictures: half a second before the minimise", 4 * kSecond,
       4 * kSecond - kSecond / 2},
      {"the last picture ends later: at the minimise", -kMs, -kMs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(60);
    s.frames_between(kBase, kBase + kSecond);
    const Ticks frame_end = kBase + s.last_clip + kFrame;
    s.minimised = true;
    pause_ring(s.ring, frame_end + c.minimise_after);
    s.minimised = false;
    const Ticks pause = frame_end + c.pause_from_end;
    const int asked = s.asked;
    // The window is found restored without the edge, by a picture from
    // before the pause, which is dropped; it is not asked again.
    EXPECT_FALSE(s.frame(pause - kTick));
    const Ticks resume = frame_end + 10 * kSecond;
    ASSERT_TRUE(s.frame(resume));
    EXPECT_EQ(s.asked, asked + 1);
    auto snap = snapshot_ring(s.ring);
    ASSERT_EQ(snap->gaps, (std::vector<SavedGap>{{kWallMs + (pause - kBase) / kMs,
                                                  std::uint64_t((resume - pause) / kMs)}}));
    EXPECT_EQ(s.last_clip, pause - kBase);
  }
}

TEST(Ring, ThePauseInstantItself) {
  Session s(60);
  s.frames_between(kBase, kBase + kSecond);
  const Ticks last_clip = s.last_clip;
  const Ticks pause = kBase + last_clip + kFrame;
  s.minimised = true;
  pause_ring(s.ring, pause + kSecond / 10);
  const auto held = buffer_seconds(s.ring).total_bytes;
  push_audio_packet(s.ring, false, sound(pause));
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, held) << "sound from the pause instant on is dropped";

  // A picture captured right at the pause instant closes an empty pause,
  // which a save does not report.
  s.minimised = false;
  mark_resume(s.ring);
  EXPECT_EQ(s.frame(pause), last_clip + kFrame);
  auto snap = snapshot_ring(s.ring);
  EXPECT_TRUE(snap->gaps.empty());
  EXPECT_EQ(snap->start_wall_ms, kWallMs);
}

TEST(Ring, APauseBeforeThePicturesStartsTheClipAtItsFirstPicture) {
  Session s(60);
  start_ring(s.ring, kBase);
  s.started = true;
  s.minimised = true;
  pause_ring(s.ring, kBase + kSecond);
  EXPECT_FALSE(s.frame(kBase + 2 * kSecond));
  s.minimised = false;
  mark_resume(s.ring);
  EXPECT_EQ(s.frame(kBase + 3 * kSecond), kSecond);
  auto snap = snapshot_ring(s.ring);
  EXPECT_TRUE(snap->gaps.empty());
  EXPECT_EQ(snap->start_wall_ms, kWallMs + 3 * kSecond / kMs);
}

TEST(Ring, GapsLeaveWithTheirPicturesAndTheStartStaysTrue) {
  Session s(60, 60);
  Ticks t = kBase;
  std::vector<Ticks> pauses;
  for (int i = 0; i < 3; ++i) {  // 2 s of pictures, then 1 s minimised
    const Ticks before = s.last_clip;
    auto first = s.frame(t);
    if (i > 0) {
      EXPECT_EQ(first, before + kFrame) << "clip time runs on across the pause";
    }
    s.frames_between(t + kFrame, t + 2 * kSecond);
    const Ticks end = s.capture_of.at(s.last_clip) + kFrame;
    s.minimised = true;
    pause_ring(s.ring, end);
    s.minimised = false;
    mark_resume(s.ring);
    pauses.push_back(end);
    t = end + kSecond;
  }
  s.frames_between(t, t + kSecond);
  auto snap = snapshot_ring(s.ring);
  ASSERT_EQ(snap->gaps.size(), 3u);
  EXPECT_EQ(snap->start_wall_ms, kWallMs);

  // The first pictures leave; so do the gaps between them.
  set_ring_seconds(s.ring, 5);
  for (int i = 0; i < 4; ++i) s.frames_between(t + (i + 1) * kSecond, t + (i + 2) * kSecond);
  snap = snapshot_ring(s.ring);
  const Ticks first_capture = s.capture_of.at(snap->groups[0]->video[0].time);
  EXPECT_GT(first_capture, pauses[0]);
  EXPECT_EQ(snap->start_wall_ms, kWallMs + (first_capture - kBase) / kMs);
  // Clip times run on without a jump, before and after the gaps that left.
  const Packet* previous = nullptr;
  for (const auto& g : snap->groups)
    for (const Packet& p : g->video) {
      if (previous) {
        ASSERT_NEAR((p.time - previous->time).count(), kFrame.count(), 1);
      }
      previous = &p;
    }
  std::size_t left = 0;
  for (Ticks p : pauses) left += p > first_capture;
  ASSERT_EQ(snap->gaps.size(), left);
  ASSERT_LT(left, 3u);
  for (std::size_t i = 0; i < left; ++i)
    EXPECT_EQ(snap->gaps[i].at, kWallMs + (pauses[3 - left + i] - kBase) / kMs);
}

TEST(Ring, WallStart) {
  struct Case {
    Ticks system_time;
    std::int64_t wall_ms;
  } cases[] = {
      {kUnixEpochInFileTime + kWallMs * kMs + 9'999 * kTick, kWallMs},
      {kUnixEpochInFileTime, 0},
      {kUnixEpochInFileTime - kSecond, 0},
  };
  for (const Case& c : cases) {
    Session s(60);
    s.system_time = c.system_time;
    s.frame(kBase);
    EXPECT_EQ(snapshot_ring(s.ring)->start_wall_ms, c.wall_ms);
  }
}

TEST(Ring, ClearThenANewCapture) {
  Session s(5);
  // Two closed pauses, the first already gone with its pictures, then an open one.
  Ticks t = kBase;
  for (Ticks run : {2 * kSecond, 8 * kSecond}) {
    s.frames_between(t, t + run);
    t += run;
    pause_ring(s.ring, t);
    mark_resume(s.ring);
    t += kSecond;
  }
  s.frames_between(t, t + kSecond);
  t += kSecond;
  ASSERT_EQ(snapshot_ring(s.ring)->gaps.size(), 1u);
  s.minimised = true;
  pause_ring(s.ring, t);
  clear_ring(s.ring);
  EXPECT_FALSE(snapshot_ring(s.ring));
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, 0u);
  EXPECT_EQ(buffer_seconds(s.ring).seconds, 0.0);

  // The new capture's first frame starts the timeline anew.
  const Ticks restart = t + 10 * kSecond;
  s.started = false;
  s.minimised = false;
  EXPECT_EQ(s.frame(restart, false), Ticks{0});  // a picture before its key frame
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, 0u);
  s.frame(restart + kFrame, true, false);
  EXPECT_FALSE(snapshot_ring(s.ring)) << "no sequence header from the new capture yet";
  s.frame(restart + 2 * kFrame, true);
  auto snap = snapshot_ring(s.ring);
  ASSERT_TRUE(snap);
  EXPECT_EQ(group_starts(*snap), (std::vector<Ticks>{kFrame, 2 * kFrame}));
  EXPECT_TRUE(snap->gaps.empty());
  EXPECT_EQ(snap->start_wall_ms, kWallMs + kFrame / kMs);
}

TEST(Ring, SnapshotsShareThePacketsAndStayAsTaken) {
  Session s(5, 120);
  s.frames_between(kBase, kBase + 3 * kSecond);
  s.sounds_between(kBase, kBase + 3 * kSecond + kSecond / 2);  // sound runs ahead of the pictures
  auto snap = snapshot_ring(s.ring);
  auto again = snapshot_ring(s.ring);
  ASSERT_EQ(snap->groups.size(), 2u);
  EXPECT_EQ(snap->groups[0], again->groups[0]) << "a finished group is shared, not copied";
  const Packet& newest = snap->groups[1]->video.back();
  EXPECT_EQ(newest.data, again->groups[1]->video.back().data) << "payloads are never copied";
  std::weak_ptr<const std::uint8_t[]> first = snap->groups[0]->video[0].data;
  const std::size_t videos = snap->groups[1]->video.size();
  const std::size_t sounds = snap->groups[1]->audio.size();

  // The ring goes on: the newest group grows, a pause cuts its sound, and
  // trimming drops everything the snapshots hold.
  s.frames_between(kBase + 3 * kSecond, kBase + 3 * kSecond + 10 * kFrame);
  const auto held = buffer_seconds(s.ring).total_bytes;
  pause_ring(s.ring, s.capture_of.at(s.last_clip) + kFrame);
  EXPECT_LT(buffer_seconds(s.ring).total_bytes, held);
  EXPECT_EQ(snap->groups[1]->video.size(), videos);
  EXPECT_EQ(snap->groups[1]->audio.size(), sounds);
  mark_resume(s.ring);
  s.frames_between(kBase + 4 * kSecond, kBase + 20 * kSecond);
  EXPECT_FALSE(first.expired());
  EXPECT_EQ(snap->groups[0]->video[0].bytes()[4], 0x67);
  snap.reset();
  again.reset();
  EXPECT_TRUE(first.expired()) << "freed with its last holder";
}

TEST(Ring, ThreadsShareTheRing) {
  // A deadlock fails the test instead of hanging it.
  std::mutex m;
  std::condition_variable cv;
  bool finished = false;
  std::thread watchdog([&] {
    std::unique_lock lock(m);
    if (!cv.wait_for(lock, std::chrono::seconds(60), [&] { return finished; })) {
      std::fputs("ring threads deadlocked\n", stderr);
      std::abort();
    }
  });

  Session s(5, 30);
  start_ring(s.ring, kBase);
  std::atomic<bool> stop{false};
  std::atomic<Ticks> latest{kBase};
  std::thread encoder([&] {
    for (int i = 0; i < 60 * 60; ++i) {
      Ticks t = kBase + i * kSecond / 60;
      latest = t;
      if (auto clip = time_video_frame(s.ring, t, kFrame, s.window))
        append_video_packet(s.ring, picture(*clip, i % 30 == 0));
    }
    stop = true;
  });
  std::thread audio([&] {
    for (Ticks t = kBase; !stop; t += kSoundFrame) push_audio_packet(s.ring, t.count() & 1, sound(t));
  });
  std::vector<RingSnapshot> saves;
  while (!stop) {
    if (auto snap = snapshot_ring(s.ring)) saves.push_back(std::move(*snap));
    if (saves.size() > 50) saves.erase(saves.begin());
    pause_ring(s.ring, latest);
    mark_resume(s.ring);
    buffer_seconds(s.ring);
  }
  encoder.join();
  audio.join();
  {
    std::lock_guard lock(m);
    finished = true;
  }
  cv.notify_one();
  watchdog.join();
  auto snap = snapshot_ring(s.ring);
  ASSERT_TRUE(snap);
  EXPECT_EQ(buffer_seconds(s.ring).total_bytes, bytes_in(*snap));
  for (const RingSnapshot& old : saves)
    for (const auto& g : old.groups) EXPECT_TRUE(g->video.front().key);
}

}  // namespace
}  // namespace orvelle::clips
