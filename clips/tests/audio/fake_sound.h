#pragma once
// Fakes of the sound platform for the audio wing's tests: scripted capture
// streams, endpoints with their formats and refusals, an AAC transform that
// records what it is asked, and a ring that takes sound from capture time 0.

#include "audio/sound_ports.h"
#include "ring/ring.h"

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::clips::fake {

using Bytes = std::vector<std::uint8_t>;

// A WAVEFORMATEX (tag 1 or 3) or WAVEFORMATEXTENSIBLE (tag 0xFFFE with
// the sub-format's first field) with cbSize as the tag asks.
Bytes wave_format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                  std::uint16_t sub_tag = 0);

struct ScriptedPacket {
  Bytes bytes;
  std::uint32_t frames = 0;
  bool silent = false;
  Ticks position{0};
};

// One stream's script and what was done to it, shared with the test.
struct StreamLog {
  std::deque<ScriptedPacket> packets;
  std::optional<WinError> fail_next_size;  // once the packets have run out
  bool started = false, stopped = false;
  std::uint32_t released = 0;
};

class FakeStream final : public CaptureStream {
 public:
  explicit FakeStream(std::shared_ptr<StreamLog> log) : log_(std::move(log)) {}
  Status start() override;
  void stop() override { log_->stopped = true; }
  Result<std::uint32_t> next_packet_size() override;
  Result<CapturePacket> get_packet() override;
  Status release_packet(std::uint32_t frames) override;

 private:
  std::shared_ptr<StreamLog> log_;
  ScriptedPacket current_;
};

// An endpoint: its mix format, the flags it refuses to initialise with and
// the stream each initialisation gets.
struct EndpointScript {
  std::string id;
  Bytes mix_format;
  std::map<std::uint32_t, WinError> refused;  // by stream flags
  std::optional<WinError> open_error;         // the enumerator cannot give it
  std::shared_ptr<StreamLog> stream = std::make_shared<StreamLog>();
  std::vector<std::uint32_t> initialised;  // the flags of each attempt
  std::vector<Bytes> formats;              // the format of each attempt
  int ducking_opt_outs = 0;
};

inline EndpointScript endpoint(std::string id, Bytes mix_format = {}) {
  EndpointScript e;
  e.id = std::move(id);
  e.mix_format = std::move(mix_format);
  return e;
}

struct DeviceScript {
  std::optional<EndpointScript> render;  // none: no playback device
  std::vector<EndpointScript> mics;
  std::optional<std::string> default_mic;
  std::shared_ptr<StreamLog> silence = std::make_shared<StreamLog>();
  std::optional<WinError> list_error;
};

class FakeDevices : public SoundDevices {
 public:
  explicit FakeDevices(DeviceScript& script) : s_(script) {}
  Result<std::unique_ptr<RenderEndpoint>> default_render() override;
  Result<std::unique_ptr<CaptureEndpoint>> capture_endpoint(const std::optional<std::string>& id) override;
  std::optional<std::string> default_capture_endpoint_id() override { return s_.default_mic; }
  Result<std::vector<ListedMicrophone>> active_microphones() override;

 private:
  DeviceScript& s_;
};

// What the AAC transform was asked, in order, and how it answers.
struct AacScript {
  bool input_needs_output_first = false;
  std::optional<WinError> refuse_output;
  AacStreamInfo info;
  std::uint32_t frames_per_input = 1;    // outputs per block before it wants more
  bool empty_frames = false;             // each output has no bytes
  bool endless_no_sample = false;        // success without a sample, for ever
  std::optional<WinError> output_error;  // from the first output on
  std::vector<std::string> calls;
  std::vector<std::pair<Ticks, Ticks>> inputs;  // time, duration
  std::vector<std::vector<std::int16_t>> blocks;
  std::vector<std::pair<bool, std::uint32_t>> draws;  // provides samples, buffer size
};

class FakeAac final : public AacTransform {
 public:
  explicit FakeAac(AacScript& script) : s_(script) {}
  Status set_input_type(std::uint32_t rate) override;
  Status set_output_type(std::uint32_t rate) override;
  Result<SharedSoundType> current_output_type() override;
  Result<AacStreamInfo> output_stream_info() override { return s_.info; }
  Status begin_streaming() override;
  Status process_input(std::span<const std::int16_t> values, Ticks time, Ticks duration) override;
  Result<AacDraw> process_output(bool provides, std::uint32_t size, AacFrameSink& sink) override;

 private:
  AacScript& s_;
  bool output_set_ = false;
  std::uint32_t pending_ = 0;
  Ticks time_{0};
};

// The platform of one audio thread run; the thread's idle wait sets the stop
// flag once every loopback packet is taken.
class FakePlatform final : public SoundPlatform {
 public:
  FakePlatform(DeviceScript& devices, std::vector<AacScript*> encoders,
               std::shared_ptr<std::atomic<bool>> stop)
      : devices_(devices), encoders_(std::move(encoders)), stop_(std::move(stop)) {}
  void join_apartment() override {}
  Result<std::unique_ptr<SoundDevices>> open_devices() override {
    return std::unique_ptr<SoundDevices>(std::make_unique<FakeDevices>(devices_));
  }
  Result<std::unique_ptr<AacTransform>> find_aac_encoder() override;
  Ticks now() override { return now_; }
  void sleep_for(Ticks wait) override;

 private:
  DeviceScript& devices_;
  std::vector<AacScript*> encoders_;
  std::size_t made_ = 0;
  std::shared_ptr<std::atomic<bool>> stop_;
  Ticks now_{0};
};

// A ring whose timeline starts at capture time 1 with one key picture, so
// every sound packet from then on is kept, at its capture time minus 1.
std::shared_ptr<Ring> sound_ring();
// The sound packets of the ring's group: track 0, or track 1.
std::vector<Packet> ring_sound(Ring& ring, bool game_track = false);

}  // namespace orvelle::clips::fake
