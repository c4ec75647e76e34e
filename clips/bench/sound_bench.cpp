// The audio thread's work on one second of sound, without the encoder:
// 100 packets of 48 kHz stereo float from the loopback converted to 16-bit
// stereo, the game track copied, a 44.1 kHz mono microphone (as the system
// hands it over, converted to float mono at the game rate) queued, bounded
// and mixed in, and blocks of 2,048 values or more cut off. Beside it, a
// plain memcpy of the same bytes. The allocations are counted once the
// buffers are reserved: there must be none.

#include "audio/audio_thread.h"
#include "audio/mic_queue.h"
#include "audio/mix_format.h"
#include "audio/samples.h"
#include "clips/bench/allocations.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace orvelle::clips {
namespace {

constexpr std::uint32_t kRate = 48'000;
constexpr std::uint32_t kPacketFrames = 480;  // 10 ms
constexpr int kPacketsPerSecond = 100;
const MixFormat kGame{kRate, 2, 8, SampleKind::f32};
const MixFormat kMic{kRate, 1, 4, SampleKind::f32};

std::vector<std::uint8_t> floats(std::uint32_t frames, std::uint32_t channels, double hz) {
  std::vector<float> v(std::size_t{frames} * channels);
  for (std::size_t i = 0; i < v.size(); ++i)
    v[i] = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * hz * double(i / channels) / kRate));
  std::vector<std::uint8_t> b(v.size() * 4);
  std::memcpy(b.data(), v.data(), b.size());
  return b;
}

struct SoundSecond {
  std::vector<std::uint8_t> game = floats(kPacketFrames, 2, 1000);
  std::vector<std::uint8_t> mic = floats(kPacketFrames, 1, 440);
  std::vector<std::int16_t> mix, game_only;
  MicQueue queue{kRate};
  std::uint64_t blocks = 0;

  SoundSecond() {
    mix.reserve(kBlockReserve);
    game_only.reserve(kBlockReserve);
  }
  void run() {
    for (int p = 0; p < kPacketsPerSecond; ++p) {
      queue.take_packet(mic, kPacketFrames, false, kMic);
      queue.bound();
      const std::size_t at = mix.size();
      game_sound_to_stereo_i16(game, kPacketFrames, kGame, false, mix);
      game_only.insert(game_only.end(), mix.begin() + static_cast<std::ptrdiff_t>(at), mix.end());
      queue.mix_into(std::span(mix.data() + at, mix.size() - at), 100);
      if (mix.size() >= kMinBlockValues) {
        benchmark::DoNotOptimize(mix.data());
        benchmark::DoNotOptimize(game_only.data());
        mix.clear();
        game_only.clear();
        ++blocks;
      }
    }
  }
};

void BM_SoundSecondConvertedMixedAndCutIntoBlocks(benchmark::State& state) {
  SoundSecond s;
  s.run();  // the queue primed, every buffer at its size
  bench::reset_allocations();
  bench::count_allocations(true);
  for (auto _ : state) s.run();
  bench::count_allocations(false);
  state.counters["x_real_time"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["allocations"] = static_cast<double>(bench::allocation_count());
  state.counters["alloc_bytes"] = static_cast<double>(bench::allocated_bytes());
  state.SetBytesProcessed(state.iterations() * kPacketsPerSecond *
                          static_cast<std::int64_t>(s.game.size() + s.mic.size()));
}
BENCHMARK(BM_SoundSecondConvertedMixedAndCutIntoBlocks);

// The reference: the same bytes of one second, only copied.
void BM_SoundSecondMemcpy(benchmark::State& state) {
  const SoundSecond s;
  std::vector<std::uint8_t> out(s.game.size() + s.mic.size());
  for (auto _ : state) {
    for (int p = 0; p < kPacketsPerSecond; ++p) {
      std::memcpy(out.data(), s.game.data(), s.game.size());
      std::memcpy(out.data() + s.game.size(), s.mic.data(), s.mic.size());
      benchmark::DoNotOptimize(out.data());
      benchmark::ClobberMemory();
    }
  }
  state.counters["x_real_time"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(state.iterations() * kPacketsPerSecond * static_cast<std::int64_t>(out.size()));
}
BENCHMARK(BM_SoundSecondMemcpy);

}  // namespace
}  // namespace orvelle::clips
