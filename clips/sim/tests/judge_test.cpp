// The judge itself, on clips that only Debian's ffmpeg made: it must list
// pictures in the order they are shown, with their times and key flags, and
// read the codes painted into them.

#include "sim/tests/judge.h"

#include "sim/frame_source.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace orvelle::clips::sim {
namespace {

TEST(Judge, ReadsAClipThatFfmpegMadeOfPaintedPictures) {
  TempFolder dir;
  const std::string raw = dir.file("pictures.bgra"), path = dir.file("ffmpeg's clip.mp4");
  {
    std::ofstream out(raw, std::ios::binary);
    BgraPicture picture({160, 90});
    for (int k = 0; k < 20; ++k) {
      paint_time_code(std::uint64_t(k) * 100 + 7, picture.view(), {0, 0, 160, 90});
      for (std::uint32_t y = 0; y < 90; ++y)
        out.write(reinterpret_cast<const char*>(picture.data() + y * picture.stride()), 160 * 4);
    }
  }
  // B-pictures on purpose: the file's order is not the order of showing.
  const std::string command = "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt bgra -s 160x90 -r 10 -i " +
                              shell_quoted(raw) + " -c:v libx264 -g 5 -bf 2 -x264-params scenecut=0 " + shell_quoted(path);
  ASSERT_EQ(std::system(command.c_str()), 0);

  JudgedClip clip = judge_clip(path);
  ASSERT_TRUE(clip.accepted) << clip.complaint;
  ASSERT_EQ(clip.streams.size(), 1u);
  EXPECT_EQ(clip.streams[0].size, (Size{160, 90}));
  EXPECT_TRUE(clip.streams[0].enabled);
  EXPECT_NEAR(clip.duration, 2.0, 0.001);
  ASSERT_EQ(clip.packets.size(), 20u);
  EXPECT_TRUE(clip.packets[0].key);
  ASSERT_EQ(clip.pictures.size(), 20u);
  const Ticks start = clip.pictures[0].time;  // ffmpeg delays the first picture past the B-pictures
  for (std::size_t k = 0; k < 20; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(clip.pictures[k].time - start, Ticks{std::int64_t(k) * 1'000'000});
    EXPECT_EQ(clip.pictures[k].key, k % 5 == 0);
    EXPECT_EQ(clip.pictures[k].code, k * 100 + 7);
  }
}

TEST(Judge, RefusesWhatIsNoClip) {
  TempFolder dir;
  const std::string path = dir.file("notes.mp4");
  std::ofstream(path) << "not a clip";
  JudgedClip clip = judge_clip(path);
  EXPECT_FALSE(clip.accepted);
  EXPECT_NE(clip.complaint.find("ffprobe"), std::string::npos) << clip.complaint;
  EXPECT_FALSE(judge_clip(dir.file("missing.mp4")).accepted);
}

}  // namespace
}  // namespace orvelle::clips::sim
