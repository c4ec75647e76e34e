// publish_frame's copy of a 1920 × 1080 picture into a frames slot (the
// B, G, R, X to R, G, B, 255 swap included) beside memcpy of the same bytes
// between the same two buffers: it must reach at least half of memcpy's
// speed.

#include "play/fake_frames.h"
#include "play/frames_writer.h"

#include <benchmark/benchmark.h>

#include <cstring>

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
  std::uint8_t* slot = file.bytes().data() + kFramesHeaderBytes;
  for (auto _ : state) {
    std::memcpy(slot, source, std::size_t{W} * H * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * W * H * 4);
}
BENCHMARK(BM_Memcpy1080p)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvelle::clips
