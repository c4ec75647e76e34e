// A save of a 60 s 1080p60 clip at 20 Mbit/s with two sound tracks through
// the write plan, with a muxer that reads the last byte of each sample it is
// handed. Beside it, the reference: one copy of the same payload. The plan
// must cost references, not payload.

#include "clips/bench/allocations.h"
#include "common/console.h"
#include "mp4/clip_writer.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace orvelle::clips {
namespace {

constexpr Ticks kSecond = kTicksPerSecond;

struct ReadingMuxer final : Muxer {
  std::uint64_t seen = 0;
  std::uint32_t streams = 0;
  Result<std::uint32_t> add_video_stream(const VideoTrackFormat&) override { return streams++; }
  Result<std::uint32_t> add_sound_stream(const SoundTrackType&) override { return streams++; }
  Status begin() override { return {}; }
  Status write_sample(std::uint32_t, const Packet& s) override {
    seen += s.data[s.len - 1];
    return {};
  }
  Status finalize() override { return {}; }
};

struct NoFiles final : ClipFiles {
  bool exists(std::string_view) override { return false; }
  Result<std::uint64_t> size(std::string_view) override { return 0; }
  Status move_replacing(std::string_view, std::string_view) override { return {}; }
  Status remove_own(std::string_view) override { return {}; }
  Result<std::unique_ptr<RandomAccessFile>> open_for_update(std::string_view) override {
    return error(fail("not here"));
  }
};

struct Platform final : ClipPlatform {
  Result<std::unique_ptr<Muxer>> open_muxer(std::string_view) override {
    return std::unique_ptr<Muxer>(std::make_unique<ReadingMuxer>());
  }
  ClipFiles& files() override { return none; }
  void sleep_for(Ticks) override {}
  NoFiles none;
};

struct Sound final : SoundTrackType {};

// 20 Mbit/s: key frames every 2 s four times the size of the others.
SaveJob sixty_seconds(std::uint64_t& payload) {
  constexpr std::size_t kDelta = 39'800, kKey = 4 * kDelta;
  const Ticks frame = kSecond / 60, sound = 1024 * kSecond / 48'000;
  SaveJob job;
  job.path = "clip.mp4";
  job.sequence_header = std::vector<std::uint8_t>(16, 1);
  job.width = 1920, job.height = 1080, job.fps = 60, job.bitrate = 20'000'000;
  job.output = std::make_shared<const OutputSettings>(OutputSettings{true});
  job.saving_flag = std::make_shared<std::atomic<bool>>(true);
  job.mix_sound = std::make_shared<Sound>();
  job.game_sound = std::make_shared<Sound>();
  payload = 0;
  Ticks next_sound{0};
  std::shared_ptr<Gop> group;
  for (int i = 0; i < 3600; ++i) {
    if (i % 120 == 0) job.groups.push_back(group = std::make_shared<Gop>());
    const std::size_t n = i % 120 == 0 ? kKey : kDelta;
    group->video.push_back({share_bytes(std::vector<std::uint8_t>(n, 0x5A)), n, i * frame, frame, i % 120 == 0});
    payload += n;
    for (; next_sound < (i + 1) * frame; next_sound += sound)
      for (auto* list : {&group->audio, &group->game_audio}) {
        list->push_back({share_bytes(std::vector<std::uint8_t>(400, 0x21)), 400, next_sound, sound, true});
        payload += 400;
      }
  }
  return job;
}

void BM_WritePlanOfA60sClip(benchmark::State& state) {
  std::uint64_t payload = 0;
  const SaveJob job = sixty_seconds(payload);
  set_line_writer([](Stream, std::string_view) {});
  Platform platform;
  bench::reset_allocations();
  for (auto _ : state) {
    SaveJob copy = job;
    bench::count_allocations(true);
    write_clip(std::move(copy), platform);
    bench::count_allocations(false);
  }
  set_line_writer(nullptr);
  state.counters["payload_MB"] = double(payload) / 1e6;
  state.counters["alloc_B_per_save"] = double(bench::allocated_bytes()) / double(state.iterations());
  state.counters["alloc_of_payload_pct"] =
      100.0 * double(bench::allocated_bytes()) / double(state.iterations()) / double(payload);
}
BENCHMARK(BM_WritePlanOfA60sClip)->Unit(benchmark::kMillisecond);

// The reference: every packet of the same clip copied once.
void BM_OneCopyOfThePayload(benchmark::State& state) {
  std::uint64_t payload = 0;
  const SaveJob job = sixty_seconds(payload);
  std::vector<std::uint8_t> out(payload);
  for (auto _ : state) {
    std::size_t at = 0;
    for (const auto& g : job.groups)
      for (const auto* list : {&g->video, &g->audio, &g->game_audio})
        for (const Packet& p : *list) {
          std::memcpy(out.data() + at, p.data.get(), p.len);
          at += p.len;
        }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["payload_MB"] = double(payload) / 1e6;
}
BENCHMARK(BM_OneCopyOfThePayload)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvelle::clips
