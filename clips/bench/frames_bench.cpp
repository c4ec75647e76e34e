// publish_frame's copy of a 1920 × 1080 picture into a frames slot (the
// B, G, R, X to R, G, B, 255 swap included) beside memcpy of the same bytes
// between the same two buffers: it must reach at least 0.8 of memcpy's
// speed. Each swap path this processor runs is timed on its own too.

#include "play/fake_frames.h"
#include "play/frames_writer.h"
#include "play/pixel_swap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvelle::clips {
namespace {

constexpr std::uint32_t W = 1920, H = 1080;

void BM_PublishFrame1080p(benchmark::State& state) {
  FramesSize size = *frames_size(W, H);
  MemoryFramesFile file(size.file_bytes);
  FramesWriter writer(file, W, H, size);
  TestPicture picture(W, H, W * 4, 1);
  const VideoGeometry geometry{H, 0, 0, W, H, static_cast<std::int32_t>(W * 4)};
  std::int64_t t = 0;
  for (auto _ : state) {
    auto published = writer.publish_frame(picture, geometry, t++, 1);
    benchmark::DoNotOptimize(published);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W * H * 4);
}
BENCHMARK(BM_PublishFrame1080p)->Unit(benchmark::kMicrosecond);

void BM_Memcpy1080p(benchmark::State& state) {
  FramesSize size = *frames_size(W, H);
  MemoryFramesFile file(size.file_bytes);
  TestPicture picture(W, H, W * 4, 1);
  const std::uint8_t* source = picture.lock()->buffer;
  // With no reader taking pictures the writer fills slots 0 and 1 in turn;
  // so does the reference, so that both move the same bytes between the
  // same buffers.
  std::uint8_t* slots[2] = {file.bytes().data() + kFramesHeaderBytes,
                            file.bytes().data() + kFramesHeaderBytes + size.slot_bytes};
  std::size_t n = 0;
  for (auto _ : state) {
    std::memcpy(slots[n++ % 2], source, std::size_t{W} * H * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W * H * 4);
}
BENCHMARK(BM_Memcpy1080p)->Unit(benchmark::kMicrosecond);

void BM_SwapPath1080p(benchmark::State& state) {
  auto path = static_cast<SwapPath>(state.range(0));
  const auto paths = available_swap_paths();
  if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
    state.SkipWithError("this processor does not run it");
    return;
  }
  TestPicture picture(W, H, W * 4, 1);
  std::vector<std::uint8_t> slot(std::size_t{W} * H * 4);
  const std::uint8_t* source = picture.lock()->buffer;
  for (auto _ : state) {
    bgrx_to_rgba(path, source, slot.data(), std::size_t{W} * H);
    benchmark::ClobberMemory();
  }
  state.SetLabel(path == SwapPath::plain ? "plain" : path == SwapPath::ssse3 ? "SSSE3" : "AVX2");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W * H * 4);
}
BENCHMARK(BM_SwapPath1080p)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvelle::clips
