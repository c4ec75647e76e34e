// orvelle-clips-sim --storyboard as the client runs it: a clip made by
// ffmpeg in, one result line out, and the pictures file and its index as
// the scrub bar reads them, judged by ffprobe and ffmpeg.

#include "sim/tests/judge.h"
#include "support/temp_folder.h"
#include "tools/e2e/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvelle::clips::sim {
namespace {

using nlohmann::json;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// testsrc2 pictures at 30 fps with a key frame every second.
std::string make_clip(const TempFolder& dir, const std::string& name, int seconds) {
  const std::string path = dir.file(name);
  const std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc2=size=320x180:rate=30 -t " +
                          std::to_string(seconds) +
                          " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 30 " + shell_quoted(path);
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return path;
}

e2e::Outcome storyboard(std::vector<std::string> args) {
  args.insert(args.begin(), ORVELLE_CLIPS_SIM);
  return e2e::run_process(args, "");
}

TEST(SimStoryboard, AThirtySecondClipGivesItsPicturesAndTheirIndex) {
  TempFolder dir("orvelle-board-");
  const std::string clip = make_clip(dir, "game.mp4", 30);
  const auto run = storyboard({"--storyboard", clip, "--board-width", "160", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ASSERT_TRUE(run.out.ends_with("\n")) << run.out;
  const json result = json::parse(run.out);

  // Beside the clip, named after it.
  const std::string pictures = read_file(dir.file("game.frames"));
  const json index = json::parse(read_file(dir.file("game.json")));
  EXPECT_EQ(result["frames"], index["frames"].size());
  EXPECT_EQ(result["bytes"], pictures.size());
  EXPECT_EQ(result["w"], 160);
  EXPECT_EQ(result["h"], 90);
  EXPECT_EQ(index["v"], 1);
  EXPECT_EQ(index["w"], 160);
  EXPECT_EQ(index["h"], 90);
  EXPECT_DOUBLE_EQ(index["duration"].get<double>(), 30.0);
  struct stat st{};
  ASSERT_EQ(::stat(clip.c_str(), &st), 0);
  EXPECT_EQ(index["source"]["size"], st.st_size);
  EXPECT_EQ(index["source"]["mtime"], st.st_mtim.tv_sec * 1000 + st.st_mtim.tv_nsec / 1'000'000);

  // One picture a second, each a key frame of the clip, in order; the
  // entries cover the pictures file end to end.
  const JudgedClip source = judge_clip(clip);
  std::vector<double> key_times;
  for (const JudgedPacket& p : source.packets)
    if (p.key) key_times.push_back(std::round(static_cast<double>(p.time.count()) / 1e4) / 1e3);
  const json& frames = index["frames"];
  ASSERT_EQ(frames.size(), 30u);
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    SCOPED_TRACE(i);
    const json& f = frames[i];
    EXPECT_EQ(f["o"], offset);
    ASSERT_LT(i, key_times.size());
    EXPECT_DOUBLE_EQ(f["t"].get<double>(), key_times[i]);
    const std::uint64_t n = f["n"];
    const std::string jpeg_path = dir.file("picture" + std::to_string(i) + ".jpg");
    std::ofstream(jpeg_path, std::ios::binary) << pictures.substr(offset, n);
    const JudgedClip jpeg = judge_clip(jpeg_path);
    ASSERT_TRUE(jpeg.accepted) << jpeg.complaint;
    ASSERT_EQ(jpeg.streams.size(), 1u);
    EXPECT_EQ(jpeg.streams[0].codec, "mjpeg");
    EXPECT_EQ(jpeg.streams[0].size, (Size{160, 90}));
    offset += n;
  }
  EXPECT_EQ(offset, pictures.size());
}

TEST(SimStoryboard, OutNamesTheFilesAndTheWidthNeverExceedsTheClips) {
  TempFolder dir("orvelle-board-");
  const std::string clip = make_clip(dir, "short.mp4", 4);
  const auto run = storyboard(
      {"--storyboard", clip, "--out", dir.file("board"), "--board-width", "1920", "--board-frames", "2"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const json result = json::parse(run.out);
  EXPECT_EQ(result["w"], 320);
  EXPECT_EQ(result["h"], 180);
  EXPECT_EQ(result["frames"], 2);  // 4 s in two: one every 2 s
  const json index = json::parse(read_file(dir.file("board.json")));
  EXPECT_DOUBLE_EQ(index["frames"][1]["t"].get<double>(), 2.0);
  EXPECT_FALSE(std::ifstream(dir.file("short.json")).good());
}

TEST(SimStoryboard, AMissingClipIsOneErrorLineAndNoFiles) {
  TempFolder dir("orvelle-board-");
  const auto run = storyboard({"--storyboard", dir.file("gone.mp4")});
  EXPECT_EQ(run.exit_code, 1);
  const json line = json::parse(run.out);
  ASSERT_TRUE(line.contains("error"));
  EXPECT_EQ(line.size(), 1u);
  EXPECT_FALSE(std::ifstream(dir.file("gone.frames")).good());
  EXPECT_FALSE(std::ifstream(dir.file("gone.json")).good());
}

}  // namespace
}  // namespace orvelle::clips::sim
