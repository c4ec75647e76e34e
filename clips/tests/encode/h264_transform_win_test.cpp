// The real encoder thread and the real Media Foundation adapter, driving the
// stand-in asynchronous H.264 transform over a real Direct3D 11 device: its
// pictures are the access units of a stream ffmpeg made for this run.

#include "encode/encoder_thread.h"
#include "encode/frame_texture_win.h"
#include "encode/h264_encoder_win.h"

#include "common/console.h"
#include "common/win/thread_name.h"
#include "support/deadline.h"
#include "win/d3d_device.h"
#include "win/media_foundation_up.h"
#include "win/stand_in_h264.h"
#include "win/test_paths.h"

#include <gtest/gtest.h>

#include <mferror.h>

#include <thread>

namespace orvelle::clips {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using win::ComPtr;

constexpr Ticks kFrame{333'333};

// The first NAL unit of a type in an access unit, behind a four-byte start code.
Bytes first_nal(const Bytes& unit, int type) {
  for (const Bytes& nal : fake::nal_units(unit))
    if ((nal[0] & 0x1F) == type) {
      Bytes out = {0, 0, 0, 1};
      out.insert(out.end(), nal.begin(), nal.end());
      return out;
    }
  return {};
}

class H264Transform : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    start_media_foundation();
    win::install_thread_names();  // as the program does at its start
  }

  void SetUp() override {
    ASSERT_TRUE(d3d.device) << "no Direct3D 11 device";
    stream = fake::read_file(beside_this_program(L"stand_in.h264"));
    ASSERT_FALSE(stream.empty()) << "stand_in.h264 was not made";
    units = fake::access_units(stream);
    ASSERT_GT(units.size(), 30u);
    stand_in = win::make_com<fake::StandInEncoder>(units);
    set_line_writer([this](Stream, std::string_view text) {
      std::lock_guard lock(lines_mutex);
      lines.emplace_back(text);
    });
  }
  void TearDown() override { set_line_writer(nullptr); }

  // The stand-in set up the way the capture start sets up a hardware encoder.
  std::shared_ptr<MediaFoundationEncoder> configured() {
    auto manager = make_device_manager(d3d.device.get());
    EXPECT_TRUE(manager) << manager.error().text();
    if (!manager) return nullptr;
    std::vector<ComPtr<IMFActivate>> candidates = {
        win::make_com<fake::StandInActivate>(stand_in, L"Stand-in H.264 Encoder", L"VEN_10DE")};
    EncoderRequest request{"llvmpipe", 0x10DE, {320, 180}, 1'500'000, 30, InputFormat::Nv12};
    auto chosen = choose_from(std::move(candidates), request, manager->get());
    EXPECT_TRUE(chosen) << chosen.error().text();
    if (!chosen) return nullptr;
    return chosen->transform;
  }

  EncoderThread start(std::shared_ptr<EncoderTransform> transform) {
    stop = std::make_shared<std::atomic<bool>>(false);  // each thread its own
    auto [tx, rx] = make_frame_channel();
    sender = std::move(tx);
    return spawn_encoder_thread(
        {std::move(transform), std::move(rx), stop, ring, stats, in_flight,
         std::make_shared<OutputSettings>(OutputSettings{true})});
  }

  // A converted picture as the frame handler sends it: on the GPU, counted
  // in flight; here the sender waits for room rather than dropping.
  void send_frame(int n) {
    auto texture = pattern_texture(d3d.device.get(), 320, 180);
    sent_textures.push_back(texture);
    in_flight->add();
    while (sender.send(CapturedFrame{frame_texture(texture), n * kFrame, kFrame}) ==
           SendResult::full)
      std::this_thread::sleep_for(1ms);
  }
  void wait_for_packets(std::uint64_t n) {
    while (reading(stats->packets) < n) std::this_thread::sleep_for(1ms);
  }
  void wait_until_the_thread_ended() {
    while (stats.use_count() > 1) std::this_thread::sleep_for(1ms);
  }
  std::vector<std::string> printed() {
    std::lock_guard lock(lines_mutex);
    return lines;
  }

  Deadline deadline{120s, "encoder under Wine"};
  D3DDevice d3d = make_d3d_device();
  Bytes stream;
  std::vector<fake::AccessUnit> units;
  ComPtr<fake::StandInEncoder> stand_in;
  StopFlag stop = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      600, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::shared_ptr<InFlight> in_flight = std::make_shared<InFlight>();
  FrameSender sender;
  std::vector<ComPtr<ID3D11Texture2D>> sent_textures;  // kept, so no address is reused
  std::mutex lines_mutex;
  std::vector<std::string> lines;
};

TEST_F(H264Transform, ThePacketsThatComeOutAreTheStreamThatWentIn) {
  auto transform = configured();
  ASSERT_TRUE(transform);
  start_ring(*ring, std::chrono::seconds(100));
  EncoderThread thread = start(transform);
  for (std::size_t n = 0; n < units.size(); ++n) send_frame(static_cast<int>(n));
  wait_for_packets(units.size());
  EXPECT_TRUE(thread.stop());

  auto snap = snapshot_ring(*ring);
  ASSERT_TRUE(snap);
  Bytes out;
  std::size_t pictures = 0, keys = 0;
  for (const auto& group : snap->groups)
    for (const Packet& p : group->video) {
      EXPECT_EQ(p.time, static_cast<std::int64_t>(pictures) * kFrame) << pictures;
      EXPECT_EQ(p.duration, kFrame);
      EXPECT_EQ(p.key, units[pictures].key) << pictures;
      keys += p.key;
      ++pictures;
      out.insert(out.end(), p.bytes().begin(), p.bytes().end());
    }
  EXPECT_EQ(pictures, units.size());
  EXPECT_TRUE(out == stream) << "the ring holds " << out.size() << " of " << stream.size() << " bytes";
  Bytes header = first_nal(units[0].bytes, 7);
  Bytes pps = first_nal(units[0].bytes, 8);
  header.insert(header.end(), pps.begin(), pps.end());
  EXPECT_EQ(snap->sequence_header, header);
  EXPECT_EQ(reading(stats->packets), units.size());
  EXPECT_EQ(reading(stats->bytes), stream.size());
  EXPECT_EQ(reading(stats->keyframes), keys);
  EXPECT_GE(keys, 3u);
  EXPECT_EQ(in_flight->value(), 0u);
  EXPECT_TRUE(printed().empty());

  fake::StandInEncoder::Record record = stand_in->record();
  // The pictures went in as the GPU textures they were, never through system memory.
  ASSERT_EQ(record.inputs.size(), units.size());
  for (std::size_t i = 0; i < record.inputs.size(); ++i) {
    const auto& input = record.inputs[i];
    EXPECT_TRUE(input.on_gpu && !input.system_memory) << i;
    EXPECT_EQ(input.texture_object, sent_textures[i].get()) << i;
    EXPECT_EQ(input.texture.CPUAccessFlags, 0u);
    EXPECT_EQ(input.time, static_cast<std::int64_t>(i) * kFrame.count());
  }
  // Each packet's bytes were read once, into the ring's own storage.
  std::size_t at = 0;
  for (const auto& group : snap->groups)
    for (const Packet& p : group->video) {
      const auto& buffer = record.outputs[at++];
      EXPECT_EQ(buffer->locks(), 1);
      EXPECT_EQ(buffer->unlocks(), 1);
      EXPECT_NE(p.data.get(), buffer->data());
    }
  // Every wait for an event ran on the thread named "encoder".
  for (const std::wstring& name : record.event_threads) {
    if (name != L"?") {  // a system without thread names
      EXPECT_EQ(name, L"encoder");
    }
  }
}

TEST_F(H264Transform, AStreamChangeRenegotiatesTheOutputAndEncodingGoesOn) {
  stand_in->stream_change_first = true;
  auto transform = configured();
  ASSERT_TRUE(transform);
  EncoderThread thread = start(transform);
  for (int n = 0; n < 3; ++n) send_frame(n);
  wait_for_packets(3);
  EXPECT_TRUE(thread.stop());
  EXPECT_EQ(stand_in->record().output_types_set, 2);
  EXPECT_TRUE(printed().empty());
}

TEST_F(H264Transform, TheStopFlagIsSeenWithin200Milliseconds) {
  auto transform = configured();
  ASSERT_TRUE(transform);
  EncoderThread thread = start(transform);
  while (stand_in->record().event_threads.empty()) std::this_thread::sleep_for(1ms);
  // The stand-in asked for input; no frame comes.
  std::this_thread::sleep_for(50ms);
  auto set_at = std::chrono::steady_clock::now();
  stop->store(true);
  wait_until_the_thread_ended();
  EXPECT_LT(std::chrono::steady_clock::now() - set_at, 300ms);
  EXPECT_FALSE(stand_in->record().shut_down) << "seen without a shut down";
  EXPECT_TRUE(thread.stop());
  EXPECT_TRUE(printed().empty());
}

TEST_F(H264Transform, StoppingReturnsWhenTheTransformStopsAnswering) {
  for (bool ignores_shut_down : {false, true}) {
    stand_in = win::make_com<fake::StandInEncoder>(units);
    auto transform = configured();
    ASSERT_TRUE(transform);
    stand_in->answer(false);
    stand_in->ignore_shut_down = ignores_shut_down;
    EncoderThread thread = start(transform);
    transform.reset();
    while (stand_in->record().event_threads.empty()) std::this_thread::sleep_for(1ms);
    auto began = std::chrono::steady_clock::now();
    bool joined = thread.stop();
    auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(joined, !ignores_shut_down);
    EXPECT_TRUE(stand_in->record().shut_down);
    EXPECT_LT(took, kEncoderJoinLimit + 1s);
    if (!ignores_shut_down) {
      EXPECT_LT(took, 500ms) << "the shut down ended the wait";
    }
    stand_in->ignore_shut_down = false;  // let a left thread end
    stand_in->Shutdown();
    wait_until_the_thread_ended();
    EXPECT_TRUE(printed().empty());
  }
}

TEST_F(H264Transform, AnErrorEventEndsEncodingWithAStatusLine) {
  auto transform = configured();
  ASSERT_TRUE(transform);
  EncoderThread thread = start(transform);
  stand_in->QueueEvent(MEError, GUID_NULL, static_cast<HRESULT>(0x887A0005), nullptr);
  send_frame(0);  // answers the first request for input; the error comes next
  wait_until_the_thread_ended();
  auto out = printed();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(out[0].starts_with(R"({"event":"status","message":"encoder: )")) << out[0];
  EXPECT_NE(out[0].find("0x887A0005"), std::string::npos) << out[0];
  EXPECT_EQ(sender.send(CapturedFrame{}), SendResult::disconnected);
  EXPECT_TRUE(thread.stop());
}

}  // namespace
}  // namespace orvelle::clips
