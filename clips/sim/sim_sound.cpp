#include "sim/sim_sound.h"

#include "audio/mix_format.h"
#include "sim/ffmpeg/aac_transform.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <optional>
#include <thread>

namespace orvelle::clips::sim {
namespace {

constexpr std::uint32_t kElementNotFound = 0x80070490u;
constexpr std::uint32_t kAccessDenied = 0x80070005u;

std::uint32_t bits_of(SoundKind kind) {
  switch (kind) {
    case SoundKind::i16: return 16;
    case SoundKind::i24: return 24;
    case SoundKind::f32:
    case SoundKind::i32: break;
  }
  return 32;
}

void put(std::uint8_t* p, float v, SampleKind kind) {
  if (kind == SampleKind::f32) {
    std::memcpy(p, &v, 4);
  } else if (kind == SampleKind::i16) {
    const auto s = static_cast<std::int16_t>(std::lrint(v * 32767.0f));
    std::memcpy(p, &s, 2);
  } else {
    const auto s = static_cast<std::int32_t>(std::lrint(static_cast<double>(v) * 2147483647.0));
    std::memcpy(p, &s, 4);
  }
}

// A microphone's state at a moment of the scenario.
MicState state_at(const Scenario& s, const std::string& id, Ticks since_start) {
  MicState state = MicState::on;
  for (const MicEvent& e : s.mic_events)
    if (e.id == id && e.at <= since_start) state = e.state;
  return state;
}

// Checked before each call of a microphone's stream: the scenario's state.
using Health = std::function<Status()>;

// A capture stream of 10 ms packets in real time from its start.
class SimStream final : public CaptureStream {
 public:
  SimStream(MixFormat format, SimClock& clock, std::function<float(Ticks)> signal, Health health)
      : f_(format), clock_(clock), signal_(std::move(signal)), health_(std::move(health)),
        frames_(std::max<std::uint32_t>(format.rate / 100, 1)) {}

  Status start() override {
    started_ = clock_.now();
    return {};
  }
  void stop() override { started_.reset(); }
  Result<std::uint32_t> next_packet_size() override {
    if (health_)
      if (auto h = health_(); !h) return error(h.error());
    if (!started_ || clock_.now() < position(next_ + 1)) return 0u;
    return frames_;
  }
  Result<CapturePacket> get_packet() override {
    const Ticks at = position(next_);
    bytes_.assign(std::size_t{frames_} * f_.block_align, 0);
    for (std::uint32_t i = 0; i < frames_; ++i) {
      const float v = signal_(position(next_) + Ticks{std::int64_t{i} * 10'000'000 / f_.rate});
      for (std::uint16_t c = 0; c < f_.channels; ++c)
        put(bytes_.data() + i * f_.block_align + c * sample_bytes(f_.kind), v, f_.kind);
    }
    return CapturePacket{bytes_, frames_, false, at};
  }
  Status release_packet(std::uint32_t frames) override {
    if (frames > 0) ++next_;
    return {};
  }

 private:
  Ticks position(std::uint64_t packet) const {
    return *started_ + Ticks{static_cast<std::int64_t>(packet * frames_ * 10'000'000 / f_.rate)};
  }

  MixFormat f_;
  SimClock& clock_;
  std::function<float(Ticks)> signal_;
  Health health_;
  std::uint32_t frames_;
  std::optional<Ticks> started_;
  std::uint64_t next_ = 0;
  std::vector<std::uint8_t> bytes_;
};

class SimClient final : public AudioClient {
 public:
  SimClient(SoundFormat own, bool converts, SimClock& clock, std::function<float(Ticks)> signal, Health health)
      : own_(own), converts_(converts), clock_(clock), signal_(std::move(signal)), health_(std::move(health)) {}

  Result<std::vector<std::uint8_t>> mix_format() override { return device_format_bytes(own_); }
  Result<std::unique_ptr<CaptureStream>> initialise_capture(std::uint32_t flags,
                                                            std::span<const std::uint8_t> format) override {
    if (health_)
      if (auto h = health_(); !h) return error(h.error());
    const auto own = device_format_bytes(own_);
    const bool as_own = std::ranges::equal(format, own);
    // The system converts to any readable format when asked to.
    if (!as_own && !(converts_ && (flags & kStreamAutoConvert) == kStreamAutoConvert))
      return error(fail("the device does not take this format", hresult::kUnsupportedFormat));
    auto parsed = parse_mix_format(format);
    if (!parsed) return error(parsed.error());
    return std::unique_ptr<CaptureStream>(std::make_unique<SimStream>(*parsed, clock_, signal_, health_));
  }

 private:
  SoundFormat own_;
  bool converts_;
  SimClock& clock_;
  std::function<float(Ticks)> signal_;
  Health health_;
};

class NoSound final : public SilenceStream {
 public:
  Status start() override { return {}; }
  void stop() override {}
  void top_up() override {}
};

class SimRender final : public RenderEndpoint {
 public:
  SimRender(SoundFormat format, SimClock& clock, Ticks start, Health health)
      : f_(format), clock_(clock), start_(start), health_(std::move(health)) {}
  Result<std::unique_ptr<AudioClient>> activate() override {
    return std::unique_ptr<AudioClient>(std::make_unique<SimClient>(
        f_, false, clock_, [start = start_](Ticks t) { return game_sound_at(t, start); }, health_));
  }
  Result<std::unique_ptr<SilenceStream>> open_silence(std::span<const std::uint8_t>) override {
    return std::unique_ptr<SilenceStream>(std::make_unique<NoSound>());
  }

 private:
  SoundFormat f_;
  SimClock& clock_;
  Ticks start_;
  Health health_;
};

class SimMicrophone final : public CaptureEndpoint {
 public:
  SimMicrophone(const MicDevice& mic, SimClock& clock, Health health) : mic_(mic), clock_(clock), health_(std::move(health)) {}
  Result<std::string> id() override { return mic_.id; }
  void opt_out_of_ducking() override {}
  Result<std::unique_ptr<AudioClient>> activate() override {
    return std::unique_ptr<AudioClient>(
        std::make_unique<SimClient>(mic_.format, true, clock_, microphone_at, health_));
  }

 private:
  const MicDevice& mic_;
  SimClock& clock_;
  Health health_;
};

class SimDevices final : public SoundDevices {
 public:
  SimDevices(const Scenario& s, SimClock& clock, Ticks start) : s_(s), clock_(clock), start_(start) {}

  Result<std::unique_ptr<RenderEndpoint>> default_render() override {
    if (!s_.sound || sound_lost()) return error(fail("no playback device", kElementNotFound));
    return std::unique_ptr<RenderEndpoint>(std::make_unique<SimRender>(*s_.sound, clock_, start_, [this]() -> Status {
      if (sound_lost()) return error(fail("the playback device is gone", hresult::kDeviceInvalidated));
      return {};
    }));
  }
  Result<std::unique_ptr<CaptureEndpoint>> capture_endpoint(const std::optional<std::string>& id) override {
    const MicDevice* mic = id ? find(*id) : default_mic();
    if (!mic || state(*mic) == MicState::missing) return error(fail("no such microphone", kElementNotFound));
    return std::unique_ptr<CaptureEndpoint>(std::make_unique<SimMicrophone>(*mic, clock_, [this, mic]() -> Status {
      switch (state(*mic)) {
        case MicState::missing: return error(fail("the microphone is gone", hresult::kDeviceInvalidated));
        case MicState::blocked: return error(fail("microphone access is refused", kAccessDenied));
        case MicState::on: break;
      }
      return {};
    }));
  }
  std::optional<std::string> default_capture_endpoint_id() override {
    const MicDevice* mic = default_mic();
    if (!mic || state(*mic) == MicState::missing) return std::nullopt;
    return mic->id;
  }
  Result<std::vector<ListedMicrophone>> active_microphones() override {
    std::vector<ListedMicrophone> out;
    for (const MicDevice& m : s_.mics)
      if (state(m) != MicState::missing) out.push_back({m.id, m.name});
    return out;
  }

 private:
  MicState state(const MicDevice& m) const { return state_at(s_, m.id, clock_.now() - start_); }
  bool sound_lost() const { return s_.sound_lost && clock_.now() - start_ >= *s_.sound_lost; }
  const MicDevice* find(const std::string& id) const {
    for (const MicDevice& m : s_.mics)
      if (m.id == id) return &m;
    return nullptr;
  }
  const MicDevice* default_mic() const {
    for (const MicDevice& m : s_.mics)
      if (m.is_default) return &m;
    return nullptr;
  }

  const Scenario& s_;
  SimClock& clock_;
  Ticks start_;
};

class SimSoundPlatform final : public SoundPlatform {
 public:
  SimSoundPlatform(const Scenario& s, SimClock& clock, Ticks start) : s_(s), clock_(clock), start_(start) {}
  void join_apartment() override {}
  Result<std::unique_ptr<SoundDevices>> open_devices() override { return sim_sound_devices(s_, clock_, start_); }
  Result<std::unique_ptr<AacTransform>> find_aac_encoder() override {
    return std::unique_ptr<AacTransform>(std::make_unique<LibavAac>());
  }
  Ticks now() override { return clock_.now(); }
  void sleep_for(Ticks wait) override { std::this_thread::sleep_for(wait); }

 private:
  const Scenario& s_;
  SimClock& clock_;
  Ticks start_;
};

}  // namespace

float game_sound_at(Ticks t, Ticks start) {
  const Ticks since = t - start;
  if (since < Ticks{0} || since % kTicksPerSecond >= kBeepLength) return 0;
  return kBeepLevel * static_cast<float>(std::sin(2 * std::numbers::pi * kBeepHz * seconds_of(since % kTicksPerSecond)));
}

float microphone_at(Ticks t) {
  return kToneLevel * static_cast<float>(std::sin(2 * std::numbers::pi * kToneHz * seconds_of(t % kTicksPerSecond)));
}

std::vector<std::uint8_t> device_format_bytes(const SoundFormat& f) {
  const std::uint32_t bits = bits_of(f.kind);
  const std::uint32_t align = f.channels * bits / 8;
  std::vector<std::uint8_t> b(40, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  put16(0, 0xFFFE);
  put16(2, f.channels);
  put32(4, f.rate);
  put32(8, f.rate * align);
  put16(12, align);
  put16(14, bits);
  put16(16, 22);
  put16(18, bits);
  put32(20, f.channels == 2 ? 3 : 0);
  put16(24, f.kind == SoundKind::f32 ? 3 : 1);  // IEEE float, or PCM
  const std::uint8_t tail[] = {0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  std::memcpy(b.data() + 28, tail, sizeof tail);
  return b;
}

std::unique_ptr<SoundDevices> sim_sound_devices(const Scenario& scenario, SimClock& clock, Ticks start) {
  return std::make_unique<SimDevices>(scenario, clock, start);
}

std::unique_ptr<SoundPlatform> sim_sound_platform(const Scenario& scenario, SimClock& clock, Ticks start) {
  return std::make_unique<SimSoundPlatform>(scenario, clock, start);
}

}  // namespace orvelle::clips::sim
