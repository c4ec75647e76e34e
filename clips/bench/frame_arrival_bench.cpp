// The frame handler's decisions for one frame, on the capture worker thread:
// counted, size-checked, paced, timed on the clip timeline, converted (a
// stand-in that hands back a picture, as the GPU blit does) and sent through
// the frame channel, which the loop drains as the encoder would. Beside it,
// the frame channel's send and receive alone, and a frame that is paced out.
// The decisions must take well under a microsecond and allocate nothing.

#include "capture/frame_arrival.h"

#include "clips/bench/allocations.h"

#include <benchmark/benchmark.h>

namespace orvelle::clips {
namespace {

constexpr Ticks kInterval{166'666};
constexpr Size kSize{1920, 1080};

int picture_object;
FrameTexture picture() { return FrameTexture(&picture_object, [](void*) noexcept {}); }

struct BenchFrame final : ArrivedFrame {
  Ticks t{0};
  std::optional<Ticks> time() override { return t; }
  Size content_size() override { return kSize; }
  Result<FrameTexture> texture() override { return picture(); }
};

struct BenchConverter final : FrameConversion {
  Result<FrameTexture> convert(const FrameTexture&) override { return picture(); }
};

struct Rig {
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::shared_ptr<InFlight> in_flight = std::make_shared<InFlight>();
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      60, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
  FrameReceiver receiver;
  std::unique_ptr<FrameArrival> handler;

  Rig() {
    auto [tx, rx] = make_frame_channel();
    receiver = std::move(rx);
    handler = std::make_unique<FrameArrival>(FrameHandlerSetup{
        .sender = std::move(tx), .stats = stats, .in_flight = in_flight, .ring = ring,
        .interval = kInterval, .converter = std::make_unique<BenchConverter>(), .expected = kSize,
        .send = true});
  }
};

// Bytes allocated per frame while counting was on.
void count_from_here() {
  bench::reset_allocations();
  bench::count_allocations(true);
}
void report(benchmark::State& state) {
  bench::count_allocations(false);
  state.counters["alloc_B_per_frame"] = double(bench::allocated_bytes()) / double(state.iterations());
}

void BM_FrameArrivalSent(benchmark::State& state) {
  Rig rig;
  BenchFrame frame;
  frame.t = std::chrono::seconds(1000);
  std::optional<CapturedFrame> taken;
  on_frame_arrived(*rig.handler, frame);  // the first frame starts the ring
  rig.receiver.try_receive(taken);
  rig.in_flight->remove();
  count_from_here();
  for (auto _ : state) {
    frame.t += kInterval;
    on_frame_arrived(*rig.handler, frame);
    // The encoder's side, so the channel never fills.
    rig.receiver.try_receive(taken);
    rig.in_flight->remove();
  }
  report(state);
  state.counters["sent"] = double(reading(rig.stats->sent));
}
BENCHMARK(BM_FrameArrivalSent);

void BM_FrameArrivalPacedOut(benchmark::State& state) {
  Rig rig;
  BenchFrame frame;
  frame.t = std::chrono::seconds(1000);
  on_frame_arrived(*rig.handler, frame);
  count_from_here();
  for (auto _ : state) on_frame_arrived(*rig.handler, frame);  // the same slot again
  report(state);
}
BENCHMARK(BM_FrameArrivalPacedOut);

// The reference: one frame message through the channel and out again.
void BM_FrameChannelRoundTrip(benchmark::State& state) {
  auto [tx, rx] = make_frame_channel();
  std::optional<CapturedFrame> taken;
  count_from_here();
  for (auto _ : state) {
    tx.send(CapturedFrame{picture(), Ticks{0}, kInterval});
    rx.try_receive(taken);
  }
  report(state);
}
BENCHMARK(BM_FrameChannelRoundTrip);

}  // namespace
}  // namespace orvelle::clips
