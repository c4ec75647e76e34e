// The muxer stand-in, judged by ffprobe and ffmpeg: the clip's streams and
// times as written, the pictures' codes after decoding, the marking of the
// game-sound track, the packets lent rather than copied, and the system's
// own errors for paths it cannot write.

#include "sim/ffmpeg/mp4_muxer.h"

#include "sim/tests/aac_fixture.h"
#include "sim/tests/coded_pictures.h"
#include "sim/tests/judge.h"
#include "ring/sequence_header.h"
#include "support/mp4_fixture.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace orvelle::clips::sim {
namespace {

constexpr Ticks kFrame{333'333};  // 30 pictures a second
constexpr std::uint64_t kFirstCode = 1'000;

struct Recording {
  VideoTrack video;
  std::vector<Packet> pictures;  // times from 0, codes kFirstCode + 33 ms a picture
};

Recording recording(int count, Size size = {320, 180}) {
  Recording r;
  r.pictures = encoded_pictures(
      encoder_settings(size, 30, 1'500'000), count, [](int i) { return i * kFrame; },
      [](int i) { return kFirstCode + std::uint64_t(i) * 33; });
  r.video = {size, 30, 1'500'000, find_sequence_header(r.pictures.at(0).bytes()).value()};
  return r;
}

Status write_all(Mp4Muxer& muxer, const Recording& r, const std::vector<SoundFixture>& sound = {}) {
  // As the clip writer does: each group's pictures, then its sound.
  std::vector<std::size_t> next(sound.size(), 0);
  for (std::size_t i = 0; i < r.pictures.size(); ++i) {
    const Packet& p = r.pictures[i];
    if (auto s = muxer.write(0, p, p.time, p.duration, p.key); !s) return s;
    if (i + 1 < r.pictures.size() && !r.pictures[i + 1].key) continue;
    for (std::size_t track = 0; track < sound.size(); ++track)
      for (; next[track] < sound[track].packets.size() &&
             sound[track].packets[next[track]].time < p.time + p.duration;
           ++next[track]) {
        const Packet& a = sound[track].packets[next[track]];
        if (auto s = muxer.write(1 + track, a, a.time, a.duration, true); !s) return s;
      }
  }
  return {};
}

std::vector<SoundTrack> tracks(const std::vector<SoundFixture>& sound) {
  std::vector<SoundTrack> out;
  for (const SoundFixture& s : sound) out.push_back(s.track);
  return out;
}

TEST(Mp4Muxer, WritesTheStreamAsItCame) {
  TempFolder dir;
  const std::string path = dir.file("clip é.mp4");
  Recording r = recording(90);
  auto muxer = Mp4Muxer::create(path, r.video, {});
  ASSERT_TRUE(muxer) << muxer.error().text();
  ASSERT_TRUE(write_all(**muxer, r));
  ASSERT_TRUE((*muxer)->finish());

  JudgedClip clip = judge_clip(path);
  ASSERT_TRUE(clip.accepted) << clip.complaint;
  ASSERT_EQ(clip.streams.size(), 1u);
  EXPECT_EQ(clip.streams[0].type, "video");
  EXPECT_EQ(clip.streams[0].codec, "h264");
  EXPECT_EQ(clip.streams[0].size, (Size{320, 180}));
  EXPECT_NEAR(clip.duration, 3.0, 0.001);
  EXPECT_EQ(clip.bytes, std::filesystem::file_size(std::filesystem::u8path(path)));
  ASSERT_EQ(clip.packets.size(), 90u);
  ASSERT_EQ(clip.pictures.size(), 90u);
  for (std::size_t i = 0; i < 90; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(clip.packets[i].time, r.pictures[i].time);
    EXPECT_EQ(clip.packets[i].decode_time, r.pictures[i].time);
    EXPECT_EQ(clip.packets[i].key, i % 60 == 0);
    EXPECT_EQ(clip.pictures[i].time, r.pictures[i].time);
    EXPECT_EQ(clip.pictures[i].code, kFirstCode + i * 33);
  }
}

TEST(Mp4Muxer, TheGameSoundTrackIsMarkedAfterwards) {
  struct Case {
    int sound_tracks;
    std::vector<bool> enabled_after;
  } cases[] = {{1, {true, true}}, {2, {true, true, false}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sound_tracks);
    TempFolder dir;
    const std::string path = dir.file("clip.mp4");
    Recording r = recording(60);
    std::vector<SoundFixture> sound;
    for (int t = 0; t < c.sound_tracks; ++t) sound.push_back(aac_tone(std::chrono::seconds(2), 440.0 * (t + 1)));
    auto all = tracks(sound);
    auto muxer = Mp4Muxer::create(path, r.video, all);
    ASSERT_TRUE(muxer) << muxer.error().text();
    ASSERT_TRUE(write_all(**muxer, r, sound));
    ASSERT_TRUE((*muxer)->finish());

    // Like the platform's writer, every track is enabled until marked.
    JudgedClip before = judge_clip(path);
    ASSERT_TRUE(before.accepted) << before.complaint;
    ASSERT_EQ(before.streams.size(), std::size_t(1 + c.sound_tracks));
    for (std::size_t i = 1; i < before.streams.size(); ++i) {
      EXPECT_EQ(before.streams[i].type, "audio");
      EXPECT_EQ(before.streams[i].codec, "aac");
      EXPECT_EQ(before.streams[i].sample_rate, 48'000u);
      EXPECT_EQ(before.streams[i].channels, 2u);
      EXPECT_TRUE(before.streams[i].enabled);
    }

    ASSERT_TRUE(mark_sound_tracks(path));
    JudgedClip after = judge_clip(path);
    ASSERT_TRUE(after.accepted) << after.complaint;
    std::vector<bool> enabled;
    for (const JudgedStream& s : after.streams) enabled.push_back(s.enabled);
    EXPECT_EQ(enabled, c.enabled_after);
    if (c.sound_tracks == 2) {
      for (const fixture::TrackHeader& t : fixture::track_headers(read_whole_file(std::filesystem::path(path))))
        if (t.sound) {
          EXPECT_EQ(t.group, 1);
        }
    }
    EXPECT_EQ(after.pictures.size(), 60u);
  }
}

TEST(Mp4Muxer, PacketsAreLentNotCopied) {
  TempFolder dir;
  Recording r = recording(30);
  std::vector<SoundFixture> sound{aac_tone(std::chrono::seconds(1), 440)};
  auto all = tracks(sound);
  auto muxer = Mp4Muxer::create(dir.file("clip.mp4"), r.video, all);
  ASSERT_TRUE(muxer);
  for (const Packet& p : r.pictures) ASSERT_TRUE((*muxer)->write(0, p, p.time, p.duration, p.key));
  // Until the sound comes the muxer holds the pictures, and holds them by
  // reference to the ring's own bytes.
  long held = 0;
  for (const Packet& p : r.pictures) held += p.data.use_count() - 1;
  EXPECT_GT(held, 0);
  for (const Packet& a : sound[0].packets) ASSERT_TRUE((*muxer)->write(1, a, a.time, a.duration, true));
  ASSERT_TRUE((*muxer)->finish());
  for (const Packet& p : r.pictures) EXPECT_EQ(p.data.use_count(), 1);
  for (const Packet& a : sound[0].packets) EXPECT_EQ(a.data.use_count(), 1);
}

TEST(Mp4Muxer, ReportsTheSystemsOwnErrors) {
  TempFolder dir;
  Recording r = recording(30);
  const std::string read_only = dir.file("locked.mp4");
  std::ofstream(read_only) << "not ours";
  ::chmod(read_only.c_str(), 0444);
  std::filesystem::create_directory(std::filesystem::path(dir.file("a folder")));
  struct Case {
    std::string path;
    std::string error;
  } cases[] = {
      {dir.file("missing/clip.mp4"), "No such file or directory (0x80070003)"},
      {read_only, "Permission denied (0x80070005)"},
      {dir.file("a folder"), "Is a directory (0x80070005)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto muxer = Mp4Muxer::create(c.path, r.video, {});
    ASSERT_FALSE(muxer);
    EXPECT_EQ(muxer.error().text(), c.error);
  }
  EXPECT_EQ(read_whole_file(std::filesystem::path(read_only)), (std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'o', 'u', 'r', 's'}));

  // A full disk shows at the first write that reaches it, or at the end.
  auto full = Mp4Muxer::create("/dev/full", r.video, {});
  Status s = full ? write_all(**full, r) : Status(error(full.error()));
  if (s) s = (*full)->finish();
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().text(), "No space left on device (0x80070070)");
}

TEST(Mp4Muxer, RefusesTimesThatGoBack) {
  TempFolder dir;
  Recording r = recording(3);
  auto muxer = Mp4Muxer::create(dir.file("clip.mp4"), r.video, {});
  ASSERT_TRUE(muxer);
  ASSERT_TRUE((*muxer)->write(0, r.pictures[0], kFrame, kFrame, true));
  EXPECT_FALSE((*muxer)->write(0, r.pictures[1], Ticks{0}, kFrame, false));
  EXPECT_FALSE((*muxer)->write(3, r.pictures[1], 2 * kFrame, kFrame, false));
}

}  // namespace
}  // namespace orvelle::clips::sim
