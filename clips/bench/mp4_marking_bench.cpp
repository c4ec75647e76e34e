// Marking the game-sound track of a clip whose media data is 1 GiB: only the
// box headers and the moov are read, so the cost does not grow with the clip.
//
// The clip is a real ffmpeg clip (600 s of picture and two AAC tracks, moov
// at the end) whose mdat is given a 64-bit size and grown to 1 GiB with a sparse
// hole, every chunk staying where it was. ORVELLE_BENCH_CLIP names a clip of
// your own to mark instead. For the comparison, time by hand the remux that
// does the same marking:
//   ffmpeg -i big.mp4 -map 0 -c copy -disposition:a:0 default -disposition:a:1 0 out.mp4

#include "support/ffmpeg_clips.h"
#include "mp4/marking.h"
#include "support/posix_file.h"
#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace orvelle::clips {
namespace {

using namespace fixture;

constexpr std::uint64_t kMediaBytes = 1ull << 30;

std::string make_big_clip(const TempFolder& dir) {
  std::string small = dir.file("small.mp4");
  // Ten minutes at 60 pictures a second: the moov of the longest clip the ring holds.
  Bytes clip = make_ffmpeg_clip(small, 2, false, 600, "testsrc=size=64x48:rate=60");
  if (clip.empty()) return {};
  auto boxes = top_level_boxes(clip);
  const TopBox& mdat = boxes[2];
  const TopBox& moov = boxes.back();
  // ftyp, a 16-byte mdat header where free and mdat's own header were, the
  // chunks, the hole, the moov.
  Bytes head(clip.begin(), clip.begin() + static_cast<std::ptrdiff_t>(mdat.offset + mdat.size));
  const std::uint64_t payload_at = mdat.offset + 8;
  Bytes header = join({be32(1), text("mdat"), be64(16 + kMediaBytes)});
  std::copy(header.begin(), header.end(), head.begin() + static_cast<std::ptrdiff_t>(payload_at - 16));
  std::string big = dir.file("big.mp4");
  write_whole_file(big, head);
  auto file = PosixFile::open(big);
  if (!file) return {};
  Bytes tail(clip.begin() + static_cast<std::ptrdiff_t>(moov.offset), clip.end());
  if (!(*file)->write_at(payload_at + kMediaBytes, tail)) return {};
  return big;
}

void BM_MarkA1GiBClip(benchmark::State& state) {
  TempFolder dir;
  const char* own = std::getenv("ORVELLE_BENCH_CLIP");
  std::string path = own ? own : make_big_clip(dir);
  if (path.empty()) {
    state.SkipWithError("ffmpeg could not make the clip");
    return;
  }
  std::uint64_t read = 0, written = 0, size = 0;
  for (auto _ : state) {
    auto file = PosixFile::open(path);
    Status s = file ? mark_alternate_sound_tracks(**file) : Status(error(file.error()));
    if (!s) {
      state.SkipWithError(s.error().text().c_str());
      return;
    }
    read = (*file)->bytes_read;
    written = (*file)->bytes_written;
    size = *(*file)->size();
  }
  state.counters["file_MB"] = double(size) / 1e6;
  state.counters["read_B"] = double(read);
  state.counters["written_B"] = double(written);
}
BENCHMARK(BM_MarkA1GiBClip)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvelle::clips
