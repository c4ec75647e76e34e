// Frame arrival driven the way the capture pool drives it, with fakes of the
// frame and the converter, the real ring and the real frame channel.

#include "capture/frame_arrival.h"
#include "shared/options.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace orvelle::clips {
namespace {

constexpr Ticks kInterval{124'999};  // 60 fps on a 60 Hz monitor
constexpr Ticks kT0 = std::chrono::seconds(1000);  // capture time of the first frame
constexpr Size kSize{1296, 759};

// Pictures the fakes hand out; each release is counted.
struct Pictures {
  std::atomic<int> live{0}, made{0};
  FrameTexture make() {
    ++live;
    ++made;
    return FrameTexture(this, [](void* p) noexcept { --static_cast<Pictures*>(p)->live; });
  }
};

struct FakeFrame final : ArrivedFrame {
  FakeFrame(Ticks t, Size size, Pictures* pictures) : t(t), size(size), pictures(pictures) {}
  std::optional<Ticks> t;
  Size size;
  Pictures* pictures;
  bool texture_fails = false;
  int texture_asks = 0;

  std::optional<Ticks> time() override { return t; }
  Size content_size() override { return size; }
  Result<FrameTexture> texture() override {
    ++texture_asks;
    if (texture_fails) return error(fail("no surface"));
    return pictures->make();
  }
};

struct FakeConverter final : FrameConversion {
  Pictures* out;
  std::atomic<int> calls{0};
  bool fails = false;
  explicit FakeConverter(Pictures* out) : out(out) {}
  Result<FrameTexture> convert(const FrameTexture& captured) override {
    ++calls;
    EXPECT_TRUE(captured);
    if (fails) return error(fail("blit"));
    return out->make();
  }
};

struct Counts {
  std::uint64_t captured = 0, paced_out = 0, busy_drop = 0, size_skip = 0, sent = 0;
  friend bool operator==(const Counts&, const Counts&) = default;
  friend std::ostream& operator<<(std::ostream& o, const Counts& c) {
    return o << "captured " << c.captured << " paced-out " << c.paced_out << " busy-drop "
             << c.busy_drop << " size-skip " << c.size_skip << " sent " << c.sent;
  }
};

// One capture session's handler over its own counters, ring and channel.
struct Rig {
  Pictures captured, converted;
  std::atomic<bool> minimised{false};
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      60, RingPlatform{[] { return kUnixEpochInFileTime + std::chrono::hours(1); },
                       [this](WindowHandle) { return minimised.load(); }});
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::shared_ptr<InFlight> in_flight = std::make_shared<InFlight>();
  FrameReceiver receiver;
  FakeConverter* converter = nullptr;
  std::unique_ptr<FrameArrival> handler;

  explicit Rig(CaptureStage stage = CaptureStage::Full) {
    auto [tx, rx] = make_frame_channel();
    receiver = std::move(rx);
    std::unique_ptr<FakeConverter> c;
    if (stage != CaptureStage::Capture) c = std::make_unique<FakeConverter>(&converted);
    converter = c.get();
    handler = std::make_unique<FrameArrival>(FrameHandlerSetup{
        .sender = std::move(tx), .stats = stats, .in_flight = in_flight, .ring = ring,
        .interval = kInterval, .converter = std::move(c), .expected = kSize,
        .send = stage == CaptureStage::Full});
  }

  FakeFrame frame(Ticks t, Size size = kSize) { return FakeFrame(t, size, &captured); }
  void arrive(Ticks t, Size size = kSize) {
    FakeFrame f = frame(t, size);
    on_frame_arrived(*handler, f);
  }
  // The nth slot of the pacing grid.
  static Ticks slot(int n) { return kT0 + n * kInterval; }

  Counts counts() const {
    return {reading(stats->captured), reading(stats->paced_out), reading(stats->busy_drop),
            reading(stats->size_skip), reading(stats->sent)};
  }
  std::optional<CapturedFrame> take() {
    std::optional<CapturedFrame> f;
    if (receiver.try_receive(f) != RecvStatus::value) return std::nullopt;
    return f;
  }
};

TEST(Pacer, KeepsAFixedGridAndRestartsItAfterAStall) {
  constexpr Ticks I = kInterval, half{62'499};
  struct Case {
    const char* what;
    std::vector<Ticks> times;
    std::vector<bool> pass;
  } cases[] = {
      {"the first frame always passes", {kT0}, {true}},
      {"half an interval early still counts", {kT0, kT0 + I - half}, {true, true}},
      {"one tick more is paced out", {kT0, kT0 + I - half - Ticks{1}}, {true, false}},
      {"a game three times faster is thinned to one frame a slot",
       {kT0, kT0 + I / 3, kT0 + 2 * I / 3, kT0 + I, kT0 + 4 * I / 3, kT0 + 5 * I / 3, kT0 + 2 * I},
       {true, false, true, false, false, true, false}},
      {"a frame late by less than an interval keeps the grid",
       {kT0, kT0 + 3 * I / 2, kT0 + 2 * I - half}, {true, true, true}},
      {"after a stall the grid restarts at the late frame",
       {kT0, kT0 + 3 * I + Ticks{5}, kT0 + 4 * I + Ticks{5} - half,
        kT0 + 5 * I + Ticks{5} - half - Ticks{1}},
       {true, true, true, false}},
  };
  for (const Case& c : cases) {
    Pacer pacer(I);
    std::vector<bool> pass;
    for (Ticks t : c.times) {
      pacer.starts(t);
      bool early = pacer.early(t);
      if (!early) pacer.advance(t);
      pass.push_back(!early);
    }
    EXPECT_EQ(pass, c.pass) << c.what;
  }
}

TEST(FrameArrival, SendsPacedFramesOnTheClipTimeline) {
  Rig rig;
  rig.arrive(Rig::slot(0));
  rig.arrive(Rig::slot(0) + kInterval / 4);  // paced out
  rig.arrive(Rig::slot(1));
  EXPECT_EQ(rig.counts(), (Counts{3, 1, 0, 0, 2}));
  EXPECT_EQ(rig.in_flight->value(), 2u);
  auto first = rig.take(), second = rig.take();
  ASSERT_TRUE(first && second);
  // The first accepted frame started the ring: clip times count from it.
  EXPECT_EQ(first->time, Ticks{0});
  EXPECT_EQ(second->time, kInterval);
  EXPECT_EQ(first->duration, kInterval);
  EXPECT_TRUE(first->texture);
  EXPECT_EQ(rig.captured.live, 0) << "captured pictures are let go at once";
}

TEST(FrameArrival, AFrameOfTheWrongSizeIsOnlyCountedAsASizeSkip) {
  Rig rig;
  FakeFrame resized = rig.frame(Rig::slot(0), {1280, 720});
  on_frame_arrived(*rig.handler, resized);
  EXPECT_EQ(rig.counts(), (Counts{1, 0, 0, 1, 0}));
  EXPECT_EQ(resized.texture_asks, 0);
  // Nor did it start the timeline: the next good frame does.
  rig.arrive(Rig::slot(3));
  auto sent = rig.take();
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->time, Ticks{0});
}

TEST(FrameArrival, WhileTheWindowStaysMinimisedFramesAreOnlyCaptured) {
  Rig rig;
  rig.arrive(Rig::slot(0));
  pause_ring(*rig.ring, Rig::slot(1));
  rig.minimised = true;
  Counts before = rig.counts();
  for (int n = 1; n <= 4; ++n) rig.arrive(Rig::slot(n));
  Counts after = before;
  after.captured += 4;
  EXPECT_EQ(rig.counts(), after);
  EXPECT_EQ(rig.converter->calls, 1);
  // Restored: the next frame closes the pause and the clip goes on where it stopped.
  rig.minimised = false;
  mark_resume(*rig.ring);
  rig.arrive(Rig::slot(9));
  rig.take();
  auto resumed = rig.take();
  ASSERT_TRUE(resumed);
  EXPECT_EQ(resumed->time, kInterval);
}

TEST(FrameArrival, FramesDroppedWhileMinimisedLeaveThePacingGridWhereItWas) {
  Rig rig;
  rig.arrive(Rig::slot(0));
  pause_ring(*rig.ring, Rig::slot(1));
  rig.minimised = true;
  // A game drawing three times the wanted rate while minimised: none of its
  // frames takes a slot, so none is paced out either.
  for (int i = 0; i < 3; ++i) rig.arrive(Rig::slot(1) + i * kInterval / 3);
  EXPECT_EQ(rig.counts(), (Counts{4, 0, 0, 0, 1}));
  // Restored at the very next slot: the frame there is on time.
  rig.minimised = false;
  mark_resume(*rig.ring);
  rig.arrive(Rig::slot(2));
  EXPECT_EQ(rig.counts(), (Counts{5, 0, 0, 0, 2}));
}

TEST(FrameArrival, MoreThanThreeFramesInFlightIsABusyDropEvenWithRoom) {
  for (std::uint64_t in_flight : {3u, 4u, 7u}) {
    Rig rig;
    for (std::uint64_t i = 0; i < in_flight; ++i) rig.in_flight->add();
    rig.arrive(Rig::slot(0));
    bool dropped = in_flight > kMaxFramesInFlight;
    EXPECT_EQ(rig.counts(), (Counts{1, 0, dropped ? 1u : 0u, 0, dropped ? 0u : 1u})) << in_flight;
    EXPECT_EQ(rig.converter->calls, dropped ? 0 : 1) << "dropped before the GPU works";
  }
}

TEST(FrameArrival, AFullChannelIsABusyDropThatLetsThePictureGo) {
  Rig rig;
  for (int n = 0; n < 3; ++n) rig.arrive(Rig::slot(n));
  EXPECT_EQ(rig.counts(), (Counts{3, 0, 1, 0, 2}));
  EXPECT_EQ(rig.converted.made, 3);
  EXPECT_EQ(rig.converted.live, 2) << "the refused picture was released";
  EXPECT_EQ(rig.in_flight->value(), 2u) << "the refused frame is not in flight";
}

TEST(FrameArrival, AGoneEncoderCountsNothing) {
  Rig rig;
  rig.receiver = FrameReceiver();  // the encoder thread ended
  rig.arrive(Rig::slot(0));
  EXPECT_EQ(rig.counts(), (Counts{1, 0, 0, 0, 0}));
  EXPECT_EQ(rig.converted.live, 0);
  EXPECT_EQ(rig.in_flight->value(), 0u);
}

TEST(FrameArrival, FailedSurfaceOrConversionDropsUncounted) {
  for (bool surface_fails : {true, false}) {
    Rig rig;
    rig.converter->fails = !surface_fails;
    FakeFrame f = rig.frame(Rig::slot(0));
    f.texture_fails = surface_fails;
    on_frame_arrived(*rig.handler, f);
    EXPECT_EQ(rig.counts(), (Counts{1, 0, 0, 0, 0})) << surface_fails;
    EXPECT_EQ(rig.captured.live, 0);
    EXPECT_EQ(rig.in_flight->value(), 0u);
  }
}

TEST(FrameArrival, StagesLeaveTheEncoderAndTheConverterOut) {
  // --stage capture: only captured, paced-out and size-skip move.
  Rig capture(CaptureStage::Capture);
  FakeFrame f = capture.frame(Rig::slot(0));
  on_frame_arrived(*capture.handler, f);
  capture.arrive(Rig::slot(0) + Ticks{1});
  capture.arrive(Rig::slot(1), {640, 360});
  EXPECT_EQ(capture.counts(), (Counts{3, 1, 0, 1, 0}));
  EXPECT_EQ(f.texture_asks, 0);

  // --stage convert: converted, then let go; nothing is sent.
  Rig convert(CaptureStage::Convert);
  for (int n = 0; n < 3; ++n) convert.arrive(Rig::slot(n));
  EXPECT_EQ(convert.counts(), (Counts{3, 0, 0, 0, 0}));
  EXPECT_EQ(convert.converter->calls, 3);
  EXPECT_EQ(convert.converted.live, 0);
  EXPECT_FALSE(convert.take());
}

TEST(FrameArrival, ANewCaptureSessionIsNotHeldBackByTheFramesOfTheOld) {
  // The old session's encoder never took its frames out.
  Rig old_session;
  old_session.receiver = FrameReceiver();
  for (int i = 0; i < 4; ++i) old_session.in_flight->add();
  old_session.arrive(Rig::slot(0));
  EXPECT_EQ(reading(old_session.stats->busy_drop), 1u);

  Rig restarted;  // its own in-flight count, beside the shared counters
  restarted.arrive(Rig::slot(0));
  EXPECT_EQ(reading(restarted.stats->sent), 1u);
}

TEST(FrameArrival, AnEncoderThatTakesFramesAtOnceLeavesNoneInFlight) {
  // The encoder may take a frame out and emit its picture before the send
  // has returned; the frame must have been counted by then, or its decrement
  // is lost and the count creeps up to the cap.
  Deadline deadline(std::chrono::seconds(60), "in-flight race");
  Rig rig;
  constexpr std::uint64_t kFrames = 5000;
  std::atomic<std::uint64_t> taken{0};
  std::atomic<bool> done{false};
  std::thread encoder([&] {
    while (!done) {
      if (auto f = rig.take()) {
        rig.in_flight->remove();
        ++taken;
      }
    }
  });
  for (std::uint64_t n = 0; n < kFrames; ++n) {
    rig.arrive(Rig::slot(static_cast<int>(n)));
    // The encoder is taking frames again before the next one is sent.
    while (taken < reading(rig.stats->sent)) std::this_thread::yield();
  }
  done = true;
  encoder.join();
  EXPECT_EQ(rig.counts(), (Counts{kFrames, 0, 0, 0, kFrames}));
  EXPECT_EQ(rig.in_flight->value(), 0u);
}

}  // namespace
}  // namespace orvelle::clips
