// The storyboard of a 10-minute 1080p clip (30 fps, a key frame every 2 s),
// 60 pictures 640 wide, cut in the simulation's process, beside ffmpeg
// cutting the same 60 thumbnails on the same machine in the same run: one
// process per picture seeking before its input (-ss before -i), and one
// process picking the pictures with a select filter. The reference: at
// most 1.5 times the faster of the two. The storyboard must decode only
// from the key frame before each target, never the whole clip: the
// pictures it decoded are counted.

#include "board/storyboard.h"
#include "sim/board_platform.h"
#include "support/temp_folder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

int main() {
  using namespace orvelle::clips;
  TempFolder dir("orvelle-board-bench-");
  const std::string clip = dir.file("long.mp4");
  constexpr int kSeconds = 600, kFps = 30, kPictures = 60;
  std::printf("making a %d s 1920x1080 clip at %d fps with ffmpeg ...\n", kSeconds, kFps);
  std::fflush(stdout);
  if (!run("ffmpeg -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=" + std::to_string(kFps) +
           " -t " + std::to_string(kSeconds) + " -c:v libx264 -preset ultrafast -g " +
           std::to_string(2 * kFps) + " -pix_fmt yuv420p '" + clip + "'")) {
    std::fprintf(stderr, "ffmpeg could not make the clip\n");
    return 1;
  }

  RecorderOptions options;
  options.storyboard = clip;
  options.out = dir.file("board");
  options.board_frames = kPictures;
  auto platform = sim::sim_board_platform();
  const auto began = Clock::now();
  auto board = make_storyboard(options, *platform);
  const double ours = seconds_since(began);
  if (!board) {
    std::fprintf(stderr, "the storyboard failed: %s\n", board.error().text().c_str());
    return 1;
  }

  const double step = static_cast<double>(kSeconds) / kPictures;
  const auto seeking = Clock::now();
  for (int i = 0; i < kPictures; ++i) {
    const std::string at = std::to_string(i * step);
    if (!run("ffmpeg -v error -y -ss " + at + " -i '" + clip + "' -frames:v 1 -vf scale=640:-2 -q:v 4 '" +
             dir.file("seek" + std::to_string(i) + ".jpg") + "'")) {
      std::fprintf(stderr, "ffmpeg could not cut picture %d\n", i);
      return 1;
    }
  }
  const double per_picture = seconds_since(seeking);
  const auto selecting = Clock::now();
  if (!run("ffmpeg -v error -y -i '" + clip + "' -vf \"select='isnan(prev_selected_t)+gte(t-prev_selected_t," +
           std::to_string(step) + ")',scale=640:-2\" -fps_mode vfr -q:v 4 '" + dir.file("select%03d.jpg") + "'")) {
    std::fprintf(stderr, "ffmpeg could not select the pictures\n");
    return 1;
  }
  const double select = seconds_since(selecting);

  const double faster = std::min(per_picture, select);
  std::printf("storyboard of %zu pictures %ux%u: %.2f s, %llu pictures decoded of %d in the clip\n",
              board->frames, board->size.width, board->size.height, ours,
              static_cast<unsigned long long>(board->decoded), kSeconds * kFps);
  std::printf("ffmpeg, one process a picture seeking before its input: %.2f s; one process with a "
              "select filter: %.2f s\n", per_picture, select);
  std::printf("ratio to the faster: %.2f (reference: at most 1.50)\n", ours / faster);
  return 0;
}
