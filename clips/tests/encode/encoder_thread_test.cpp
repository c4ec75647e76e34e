// The encoder thread over a scripted transform, the real frame channel and
// the real ring.

#include "encode/encoder_thread.h"

#include "common/console.h"
#include "encode/scripted_transform.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace orvelle::clips {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Picture = ScriptedTransform::Picture;

constexpr TransformEvent kNeedInput{TransformEventKind::need_input};
constexpr TransformEvent kHaveOutput{TransformEventKind::have_output};
constexpr Ticks kFrame{166'666};

const Bytes kKeyPicture = {0, 0, 0, 1, 0x67, 0x64, 0x00, 0x1F, 0, 0, 0, 1, 0x68, 0xEE, 0x3C, 0x80,
                           0, 0, 1, 0x65, 0x88, 0x84, 0x21};
const Bytes kPicture = {0, 0, 1, 0x41, 0x9A, 0x02};

class EncoderThreadTest : public testing::Test {
 protected:
  void SetUp() override {
    set_line_writer([this](Stream, std::string_view text) {
      std::lock_guard lock(lines_mutex);
      lines.emplace_back(text);
    });
    auto [tx, rx] = make_frame_channel();
    sender = std::move(tx);
    state.transform = transform;
    state.frames = std::move(rx);
    state.stop = std::make_shared<std::atomic<bool>>(false);
    state.ring = ring;
    state.stats = stats;
    state.in_flight = in_flight;
    state.output = std::make_shared<OutputSettings>(OutputSettings{true});
  }
  void TearDown() override { set_line_writer(nullptr); }

  // A frame as the handler sends it, counted in flight first; here the
  // sender waits for room rather than dropping.
  void send_frame(Ticks time) {
    in_flight->add();
    while (sender.send(CapturedFrame{FrameTexture(), time, kFrame}) == SendResult::full)
      std::this_thread::sleep_for(1ms);
  }
  void wait_for_packets(std::uint64_t n) {
    while (reading(stats->packets) < n) std::this_thread::sleep_for(1ms);
  }
  std::vector<std::string> printed() {
    std::lock_guard lock(lines_mutex);
    return lines;
  }
  // The thread lets its shared state go when it ends.
  void wait_until_the_thread_ended() {
    while (stats.use_count() > 1) std::this_thread::sleep_for(1ms);
  }

  Deadline deadline{60s, "encoder thread test"};
  std::shared_ptr<ScriptedTransform> transform = std::make_shared<ScriptedTransform>();
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      60, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::shared_ptr<InFlight> in_flight = std::make_shared<InFlight>();
  FrameSender sender;
  EncoderThreadState state;
  std::mutex lines_mutex;
  std::vector<std::string> lines;
};

TEST_F(EncoderThreadTest, FramesGoInAndPicturesReachTheRingCounted) {
  start_ring(*ring, std::chrono::seconds(100));
  transform->announce(kNeedInput);
  transform->announce(kHaveOutput);  // a picture before any key frame
  transform->announce(kNeedInput);
  transform->announce(kHaveOutput);
  transform->announce(kNeedInput);
  transform->announce(kHaveOutput);
  transform->output(Picture{kPicture, Ticks{0}, kFrame, false});
  transform->output(Picture{kKeyPicture, kFrame, kFrame, true});
  transform->output(Picture{kPicture, 2 * kFrame, kFrame, false});
  EncoderThread thread = spawn_encoder_thread(std::move(state));
  for (int i = 0; i < 3; ++i) send_frame(i * kFrame);
  wait_for_packets(3);
  EXPECT_TRUE(thread.stop());

  EXPECT_EQ(transform->input_times(), (std::vector<Ticks>{Ticks{0}, kFrame, 2 * kFrame}));
  // The picture before the key frame was dropped by the ring, yet counted.
  EXPECT_EQ(reading(stats->packets), 3u);
  EXPECT_EQ(reading(stats->bytes), 2 * kPicture.size() + kKeyPicture.size());
  EXPECT_EQ(reading(stats->keyframes), 1u);
  EXPECT_EQ(in_flight->value(), 0u);
  auto snap = snapshot_ring(*ring);
  ASSERT_TRUE(snap);
  EXPECT_EQ(snap->sequence_header,
            (Bytes{0, 0, 0, 1, 0x67, 0x64, 0x00, 0x1F, 0, 0, 0, 1, 0x68, 0xEE, 0x3C, 0x80}));
  ASSERT_EQ(snap->groups.size(), 1u);
  const auto& video = snap->groups[0]->video;
  ASSERT_EQ(video.size(), 2u);
  EXPECT_TRUE(video[0].key);
  EXPECT_EQ(video[0].time, kFrame);
  EXPECT_EQ(video[1].duration, kFrame);
  EXPECT_EQ(Bytes(video[0].bytes().begin(), video[0].bytes().end()), kKeyPicture);
  // One copy: the ring's bytes are not the transform's.
  EXPECT_NE(video[0].data.get(), transform->sources()[1]);
  EXPECT_TRUE(printed().empty());
}

TEST_F(EncoderThreadTest, AStreamChangeRenegotiatesAndEncodingGoesOn) {
  start_ring(*ring, std::chrono::seconds(100));
  transform->announce(kHaveOutput, 3);
  transform->output(ScriptedTransform::StreamChange{});
  transform->output(ScriptedTransform::Nothing{});
  transform->output(Picture{kKeyPicture, Ticks{0}, kFrame, true});
  EncoderThread thread = spawn_encoder_thread(std::move(state));
  wait_for_packets(1);
  EXPECT_TRUE(thread.stop());
  EXPECT_EQ(transform->renegotiations(), 1);
  EXPECT_TRUE(printed().empty()) << printed().front();
}

TEST_F(EncoderThreadTest, MorePicturesThanFramesNeverTakeInFlightBelowZero) {
  transform->announce(kHaveOutput, 3);
  for (int i = 0; i < 3; ++i) transform->output(Picture{kKeyPicture, i * kFrame, kFrame, true});
  in_flight->add();
  EncoderThread thread = spawn_encoder_thread(std::move(state));
  wait_for_packets(3);
  EXPECT_TRUE(thread.stop());
  EXPECT_EQ(in_flight->value(), 0u);
}

TEST_F(EncoderThreadTest, AFailureEndsTheThreadWithAStatusError) {
  const WinError lost{0x887A0005u, "device removed"};
  const std::string kLostLine =
      R"j({"event":"status","message":"encoder: device removed (0x887A0005)","state":"error"})j";
  struct Case {
    const char* what;
    std::function<void(ScriptedTransform&)> script;
    std::string line;
  } cases[] = {
      {"error event",
       [](ScriptedTransform& t) { t.announce({TransformEventKind::error, 0x8000FFFFu}); },
       R"({"event":"status","message":"encoder: 0x8000FFFF","state":"error"})"},
      {"event wait",
       [&](ScriptedTransform& t) {
         t.event_error = lost;
         t.announce(kNeedInput);
       },
       kLostLine},
      {"input",
       [&](ScriptedTransform& t) {
         t.input_error = lost;
         t.announce(kNeedInput);
       },
       kLostLine},
      {"output",
       [&](ScriptedTransform& t) {
         t.output(lost);
         t.announce(kHaveOutput);
       },
       kLostLine},
      {"renegotiation",
       [&](ScriptedTransform& t) {
         t.renegotiate_error = lost;
         t.output(ScriptedTransform::StreamChange{});
         t.announce(kHaveOutput);
       },
       kLostLine},
  };
  for (const Case& c : cases) {
    TearDown();
    lines.clear();
    transform = std::make_shared<ScriptedTransform>();
    SetUp();
    c.script(*transform);
    EncoderThread thread = spawn_encoder_thread(std::move(state));
    if (std::string(c.what) == "input") send_frame(Ticks{0});
    wait_until_the_thread_ended();
    EXPECT_EQ(printed(), std::vector<std::string>{c.line}) << c.what;
    // The frame channel closed with the thread.
    EXPECT_EQ(sender.send(CapturedFrame{}), SendResult::disconnected) << c.what;
    EXPECT_TRUE(thread.stop()) << c.what;
  }
}

TEST_F(EncoderThreadTest, TheStopFlagIsSeenWithinTheWaitSlice) {
  transform->announce(kNeedInput);
  std::atomic<bool> ended{false};
  std::thread loop([&] {
    EXPECT_TRUE(run_encoder_loop(state).has_value());
    ended = true;
  });
  std::this_thread::sleep_for(50ms);  // waiting for a frame that never comes
  auto stopped_at = std::chrono::steady_clock::now();
  state.stop->store(true);
  loop.join();
  auto took = std::chrono::steady_clock::now() - stopped_at;
  EXPECT_LT(took, kFrameWaitSlice + 100ms);
  EXPECT_TRUE(ended);
}

TEST_F(EncoderThreadTest, AGoneFrameHandlerEndsTheThreadQuietly) {
  transform->announce(kNeedInput);
  EncoderThread thread = spawn_encoder_thread(std::move(state));
  sender.reset();
  // Ended by itself: no stop flag, and the transform still answers.
  wait_until_the_thread_ended();
  EXPECT_TRUE(thread.stop());
  EXPECT_TRUE(printed().empty());
}

TEST_F(EncoderThreadTest, APictureThatComesOutAfterTheStopIsDropped) {
  start_ring(*ring, std::chrono::seconds(100));
  transform->announce(kHaveOutput, 2);
  transform->output(Picture{kKeyPicture, Ticks{0}, kFrame, true});
  transform->output(Picture{kKeyPicture, kFrame, kFrame, true});
  // The second picture leaves the driver only once the session has stopped
  // the thread and cleared the ring, as after a join that timed out.
  StopFlag stop = state.stop;
  transform->during_output = [&, calls = 0]() mutable {
    if (++calls == 2) {
      stop->store(true);
      clear_ring(*ring);
    }
  };
  EncoderThread thread = spawn_encoder_thread(std::move(state));
  wait_until_the_thread_ended();
  EXPECT_TRUE(thread.stop());
  EXPECT_EQ(reading(stats->packets), 1u);
  EXPECT_EQ(reading(stats->bytes), kKeyPicture.size());
  EXPECT_FALSE(snapshot_ring(*ring)) << "nothing of the old capture reached the cleared ring";
}

TEST_F(EncoderThreadTest, StoppingReturnsEvenWhenTheTransformNeverAnswers) {
  for (bool ignores_shut_down : {false, true}) {
    TearDown();
    lines.clear();
    transform = std::make_shared<ScriptedTransform>();
    SetUp();
    transform->ignore_shut_down = ignores_shut_down;
    std::weak_ptr<ScriptedTransform> held = transform;
    EncoderThread thread = spawn_encoder_thread(std::move(state));
    while (transform->waits() == 0) std::this_thread::sleep_for(1ms);
    auto began = std::chrono::steady_clock::now();
    bool joined = thread.stop(300ms);
    auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(joined, !ignores_shut_down);
    EXPECT_LT(took, 1s);
    // The error that the shut down causes is the session's end, not a failure.
    EXPECT_TRUE(printed().empty()) << ignores_shut_down;
    if (ignores_shut_down) {
      transform->ignore_shut_down = false;  // let the left thread end
      transform->shut_down();
    }
    transform.reset();
    while (!held.expired()) std::this_thread::sleep_for(1ms);  // released with the thread
  }
}

}  // namespace
}  // namespace orvelle::clips
