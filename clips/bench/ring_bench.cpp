// A save's snapshot of a full ring: 600 s of 60 pictures a second in 2-s
// groups with two sound tracks. It must cost references, never payload.

#include "clips/bench/allocations.h"
#include "ring/ring.h"

#include <benchmark/benchmark.h>

namespace orvelle::clips {
namespace {

constexpr Ticks kSecond = kTicksPerSecond;

std::vector<std::uint8_t> payload(std::size_t n, std::uint8_t nal) {
  std::vector<std::uint8_t> b(n, 0x5A);
  b[0] = 0, b[1] = 0, b[2] = 0, b[3] = 1, b[4] = nal;
  return b;
}

// About 8 Mbit/s of picture: 80 KB key frames, 16 KB others; 400-byte AAC frames.
void fill(Ring& ring, int seconds) {
  const Ticks base = 1000 * kSecond;
  const auto key = [] {
    std::vector<std::uint8_t> b = {0, 0, 0, 1, 0x67, 0x42, 0, 0x1F, 0, 0, 0, 1, 0x68, 0xCE, 0x3C, 0x80};
    auto slice = payload(80'000, 0x65);
    b.insert(b.end(), slice.begin(), slice.end());
    return b;
  }();
  const auto delta = payload(16'000, 0x41);
  const std::vector<std::uint8_t> aac(400, 0x21);
  const Ticks frame = kSecond / 60, sound = 1024 * kSecond / 48'000;
  start_ring(ring, base);
  Ticks next_sound = base;
  for (std::int64_t i = 0; i < std::int64_t{seconds} * 60; ++i) {
    Ticks t = base + i * kSecond / 60;
    auto clip = time_video_frame(ring, t, frame, nullptr);
    const auto& bytes = i % 120 == 0 ? key : delta;
    append_video_packet(ring, {share_bytes(bytes), bytes.size(), *clip, frame, i % 120 == 0});
    for (; next_sound < t + frame; next_sound += sound)
      for (bool game : {false, true})
        push_audio_packet(ring, game, {share_bytes(aac), aac.size(), next_sound, sound, true});
  }
}

void BM_SnapshotOfAFullRing(benchmark::State& state) {
  Ring ring(600, {[] { return Ticks{133'000'000'000'000'000}; }, [](WindowHandle) { return false; }});
  fill(ring, 610);
  const BufferFill held = buffer_seconds(ring);
  std::uint64_t packets = 0, groups = 0;
  {
    auto snap = snapshot_ring(ring);
    groups = snap->groups.size();
    for (const auto& g : snap->groups) packets += g->video.size() + g->audio.size() + g->game_audio.size();
  }
  bench::reset_allocations();
  for (auto _ : state) {
    bench::count_allocations(true);
    auto snap = snapshot_ring(ring);
    bench::count_allocations(false);
    benchmark::DoNotOptimize(snap);
  }
  state.counters["held_s"] = held.seconds;
  state.counters["held_MB"] = double(held.total_bytes) / 1e6;
  state.counters["groups"] = double(groups);
  state.counters["packets"] = double(packets);
  state.counters["alloc_B_per_snapshot"] = double(bench::allocated_bytes()) / double(state.iterations());
}
BENCHMARK(BM_SnapshotOfAFullRing)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvelle::clips
