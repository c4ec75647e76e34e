// Track marking on clips made by ffmpeg: ffprobe must see the first sound
// track as the default and the others not, and no byte but the patched
// fields may change.

#include "support/ffmpeg_clips.h"
#include "mp4/marking.h"
#include "support/posix_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

using namespace fixture;

std::vector<std::string> dispositions(int sound_tracks, int enabled) {
  std::vector<std::string> out{"video,1"};
  for (int i = 0; i < sound_tracks; ++i) out.push_back(i < enabled ? "audio,1" : "audio,0");
  return out;
}

TEST(FfmpegClipMarking, FirstSoundTrackStaysTheDefault) {
  struct Case {
    const char* name;
    int sound_tracks;
    bool faststart;
    bool long_mdat;
  } cases[] = {
      {"mix and game, moov after mdat", 2, false, false},
      {"mix and game, moov first", 2, true, false},
      {"three sound tracks", 3, false, false},
      {"three sound tracks, moov first", 3, true, false},
      {"moov after a 64-bit mdat", 2, false, true},
      {"one sound track", 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    std::string path = dir.file("clip.mp4");
    Bytes before = make_ffmpeg_clip(path, c.sound_tracks, c.faststart);
    ASSERT_FALSE(before.empty()) << "ffmpeg failed";
    if (c.long_mdat) {
      widen_mdat(before);
      write_whole_file(path, before);
    }
    // The fixture must differ from what marking makes, or it proves nothing.
    ASSERT_EQ(ffprobe_dispositions(path), dispositions(c.sound_tracks, c.sound_tracks));
    for (const TrackHeader& t : track_headers(before)) ASSERT_EQ(t.group, 0);

    auto file = PosixFile::open(path);
    ASSERT_TRUE(file);
    Status s = mark_alternate_sound_tracks(**file);
    ASSERT_TRUE(s) << s.error().text();
    EXPECT_EQ((*file)->writes, c.sound_tracks > 1 ? 1 : 0);
    std::uint64_t mdat = 0;
    for (const TopBox& b : top_level_boxes(before))
      if (b.type == "mdat") mdat = b.size;
    EXPECT_LT((*file)->bytes_read, before.size() - mdat + 64) << "the media data was read";
    file->reset();

    Bytes after = read_whole_file(path);
    EXPECT_EQ(after, c.sound_tracks > 1 ? marked(before) : before);
    EXPECT_EQ(ffprobe_dispositions(path), dispositions(c.sound_tracks, 1));
    for (const TrackHeader& t : track_headers(after))
      EXPECT_EQ(t.group, t.sound && c.sound_tracks > 1 ? 1 : 0);
  }
}

TEST(FfmpegClipMarking, TruncatedClipsHaveNoMoovAndStayUnchanged) {
  TempFolder dir;
  std::string path = dir.file("clip.mp4");
  const Bytes whole = make_ffmpeg_clip(path, 2, false);
  ASSERT_FALSE(whole.empty()) << "ffmpeg failed";
  auto boxes = top_level_boxes(whole);
  ASSERT_EQ(boxes.back().type, "moov");
  const std::size_t moov = boxes.back().offset;
  for (std::size_t cut : {std::size_t{7}, std::size_t{20}, boxes[2].offset + 100, moov + 4,
                          moov + 200, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    write_whole_file(path, part);
    auto file = PosixFile::open(path);
    ASSERT_TRUE(file);
    Status s = mark_alternate_sound_tracks(**file);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().code, hresult::kInvalidData);
    EXPECT_EQ(s.error().message, "no moov");
    file->reset();
    EXPECT_EQ(read_whole_file(path), part);
  }
}

}  // namespace
}  // namespace orvelle::clips
