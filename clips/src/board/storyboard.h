#pragma once
// The --storyboard mode: JPEG thumbnails spread over a clip, written back to
// back into BASE.frames, with their index in BASE.json, for the client's
// scrub bar. One decode from the key frame before each target, never the
// whole clip.

#include "board/board_ports.h"
#include "shared/options.h"

namespace orvelle::clips {

// The counts of one run, for the result line and the benchmark.
struct BoardRun {
  std::size_t frames = 0;
  std::uint64_t bytes = 0;
  BoardSize size;
  std::uint64_t decoded = 0;  // samples the reader delivered
};

[[nodiscard]] Result<BoardRun> make_storyboard(const RecorderOptions& options, BoardPlatform& platform);

// The mode as the entry runs it: the result line, or the {"error": …} line
// and exit code 1, on standard output either way.
int run_storyboard(const RecorderOptions& options, BoardPlatform& platform);

}  // namespace orvelle::clips
