#include "audio/fake_sound.h"

namespace orvelle::clips::fake {
namespace {

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  put16(b, at, static_cast<std::uint16_t>(v));
  put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

class FakeClient final : public AudioClient {
 public:
  explicit FakeClient(EndpointScript& s) : s_(s) {}
  Result<std::vector<std::uint8_t>> mix_format() override { return s_.mix_format; }
  Result<std::unique_ptr<CaptureStream>> initialise_capture(std::uint32_t flags,
                                                            std::span<const std::uint8_t> format) override {
    s_.initialised.push_back(flags);
    s_.formats.emplace_back(format.begin(), format.end());
    if (auto r = s_.refused.find(flags); r != s_.refused.end()) return error(r->second);
    return std::unique_ptr<CaptureStream>(std::make_unique<FakeStream>(s_.stream));
  }

 private:
  EndpointScript& s_;
};

class FakeSilence final : public SilenceStream {
 public:
  explicit FakeSilence(std::shared_ptr<StreamLog> log) : log_(std::move(log)) {}
  Status start() override {
    log_->started = true;
    return {};
  }
  void stop() override { log_->stopped = true; }
  void top_up() override {}

 private:
  std::shared_ptr<StreamLog> log_;
};

class FakeRender final : public RenderEndpoint {
 public:
  FakeRender(EndpointScript& s, std::shared_ptr<StreamLog> silence) : s_(s), silence_(std::move(silence)) {}
  Result<std::unique_ptr<AudioClient>> activate() override {
    return std::unique_ptr<AudioClient>(std::make_unique<FakeClient>(s_));
  }
  Result<std::unique_ptr<SilenceStream>> open_silence(std::span<const std::uint8_t>) override {
    return std::unique_ptr<SilenceStream>(std::make_unique<FakeSilence>(silence_));
  }

 private:
  EndpointScript& s_;
  std::shared_ptr<StreamLog> silence_;
};

class FakeCaptureEndpoint final : public CaptureEndpoint {
 public:
  explicit FakeCaptureEndpoint(EndpointScript& s) : s_(s) {}
  Result<std::string> id() override { return s_.id; }
  void opt_out_of_ducking() override { ++s_.ducking_opt_outs; }
  Result<std::unique_ptr<AudioClient>> activate() override {
    return std::unique_ptr<AudioClient>(std::make_unique<FakeClient>(s_));
  }

 private:
  EndpointScript& s_;
};

}  // namespace

Bytes wave_format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                  std::uint16_t sub_tag) {
  const bool ext = tag == 0xFFFE;
  Bytes b(ext ? 40 : 18, 0);
  const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
  put16(b, 0, tag);
  put16(b, 2, channels);
  put32(b, 4, rate);
  put32(b, 8, rate * align);
  put16(b, 12, align);
  put16(b, 14, bits);
  put16(b, 16, ext ? 22 : 0);
  if (ext) {
    put16(b, 18, bits);
    const Bytes tail = {0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    put16(b, 24, sub_tag);
    std::copy(tail.begin(), tail.end(), b.begin() + 28);
  }
  return b;
}

Status FakeStream::start() {
  log_->started = true;
  return {};
}

Result<std::uint32_t> FakeStream::next_packet_size() {
  if (log_->packets.empty()) {
    if (log_->fail_next_size) return error(*std::exchange(log_->fail_next_size, std::nullopt));
    return 0u;
  }
  return log_->packets.front().frames;
}

Result<CapturePacket> FakeStream::get_packet() {
  current_ = std::move(log_->packets.front());
  log_->packets.pop_front();
  return CapturePacket{current_.bytes, current_.frames, current_.silent, current_.position};
}

Status FakeStream::release_packet(std::uint32_t frames) {
  log_->released += frames;
  return {};
}

Result<std::unique_ptr<RenderEndpoint>> FakeDevices::default_render() {
  if (!s_.render) return error(fail("no playback device", 0x80070490u));
  return std::unique_ptr<RenderEndpoint>(std::make_unique<FakeRender>(*s_.render, s_.silence));
}

Result<std::unique_ptr<CaptureEndpoint>> FakeDevices::capture_endpoint(const std::optional<std::string>& id) {
  const std::optional<std::string> wanted = id ? id : s_.default_mic;
  for (EndpointScript& m : s_.mics) {
    if (!wanted || m.id != *wanted) continue;
    if (m.open_error) return error(*m.open_error);
    return std::unique_ptr<CaptureEndpoint>(std::make_unique<FakeCaptureEndpoint>(m));
  }
  return error(fail("", 0x80070490u));
}

Result<std::vector<ListedMicrophone>> FakeDevices::active_microphones() {
  if (s_.list_error) return error(*s_.list_error);
  std::vector<ListedMicrophone> out;
  for (const EndpointScript& m : s_.mics) out.push_back({m.id, m.id + " name"});
  return out;
}

Status FakeAac::set_input_type(std::uint32_t rate) {
  s_.calls.push_back("input " + std::to_string(rate));
  if (s_.input_needs_output_first && !output_set_) return error(fail("input first", 0xC00D36B4u));
  return {};
}

Status FakeAac::set_output_type(std::uint32_t rate) {
  s_.calls.push_back("output " + std::to_string(rate));
  if (s_.refuse_output) return error(*s_.refuse_output);
  output_set_ = true;
  return {};
}

Result<SharedSoundType> FakeAac::current_output_type() {
  s_.calls.push_back("current output");
  return SharedSoundType(std::make_shared<SoundTrackType>());
}

Status FakeAac::begin_streaming() {
  s_.calls.push_back("begin");
  return {};
}

Status FakeAac::process_input(std::span<const std::int16_t> values, Ticks time, Ticks duration) {
  s_.inputs.emplace_back(time, duration);
  s_.blocks.emplace_back(values.begin(), values.end());
  pending_ = s_.frames_per_input;
  time_ = time;
  return {};
}

Result<AacDraw> FakeAac::process_output(bool provides, std::uint32_t size, AacFrameSink& sink) {
  s_.draws.emplace_back(provides, size);
  if (s_.output_error) return error(*s_.output_error);
  if (s_.endless_no_sample) return AacDraw::no_sample;
  if (pending_ == 0) return AacDraw::need_more_input;
  --pending_;
  const Bytes frame = s_.empty_frames ? Bytes{} : Bytes{0xAA, static_cast<std::uint8_t>(s_.blocks.size())};
  sink.take(frame, time_, std::nullopt);
  return AacDraw::frame;
}

Result<std::unique_ptr<AacTransform>> FakePlatform::find_aac_encoder() {
  if (made_ >= encoders_.size()) return error(fail("no AAC encoder", 0xC00D36D5u));
  return std::unique_ptr<AacTransform>(std::make_unique<FakeAac>(*encoders_[made_++]));
}

void FakePlatform::sleep_for(Ticks wait) {
  now_ += wait;
  if (devices_.render && devices_.render->stream->packets.empty()) stop_->store(true);
}

std::shared_ptr<Ring> sound_ring() {
  auto ring = std::make_shared<Ring>(60, RingPlatform{[] { return Ticks{0}; }, [](WindowHandle) { return false; }});
  start_ring(*ring, Ticks{1});
  (void)time_video_frame(*ring, Ticks{1}, Ticks{1}, WindowHandle{});
  const Bytes key = {0, 0, 0, 1, 0x67, 0x42, 0xC0, 0x1F, 0, 0, 0, 1, 0x68, 0xCE, 0x3C, 0x80,
                     0, 0, 1, 0x65, 0x88, 0x84};
  append_video_packet(*ring, Packet{share_bytes(key), key.size(), Ticks{0}, Ticks{1}, true});
  return ring;
}

std::vector<Packet> ring_sound(Ring& ring, bool game_track) {
  std::vector<Packet> out;
  if (auto snap = snapshot_ring(ring))
    for (const auto& g : snap->groups)
      for (const Packet& p : game_track ? g->game_audio : g->audio) out.push_back(p);
  return out;
}

}  // namespace orvelle::clips::fake
