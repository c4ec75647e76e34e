#include "audio/microphone.h"

#include "audio/samples.h"
#include "common/hresults.h"
#include "common/try.h"

namespace orvelle::clips {
namespace {

constexpr std::uint32_t kAccessDenied = 0x80070005u;
constexpr std::uint32_t kFileNotFound = 0x80070002u;
constexpr std::uint32_t kElementNotFound = 0x80070490u;

void close_microphone(MicrophoneMixer& m) {
  if (m.stream) m.stream->stop();
  m.stream.reset();
  m.open_id.reset();
}

// The device's own format, when the system will not convert for us: it must
// already run at the game's rate.
Result<std::unique_ptr<CaptureStream>> open_native(CaptureEndpoint& endpoint, std::uint32_t rate,
                                                   MixFormat& format) {
  ORVELLE_ASSIGN_OR_RETURN(auto client, endpoint.activate());
  ORVELLE_ASSIGN_OR_RETURN(const auto bytes, client->mix_format());
  ORVELLE_ASSIGN_OR_RETURN(const MixFormat parsed, parse_mix_format(bytes));
  if (parsed.rate != rate) return error(fail("the microphone's rate", hresult::kUnsupportedFormat));
  // Every channel of a frame is averaged, so every channel must lie in it.
  if (parsed.block_align < parsed.channels * sample_bytes(parsed.kind))
    return error(fail("mix format", hresult::kUnsupportedFormat));
  ORVELLE_ASSIGN_OR_RETURN(auto stream, client->initialise_capture(0, bytes));
  format = parsed;
  return stream;
}

Status open_microphone(MicrophoneMixer& m, SoundDevices& devices) {
  ORVELLE_ASSIGN_OR_RETURN(auto endpoint, devices.capture_endpoint(m.settings.device_id));
  ORVELLE_ASSIGN_OR_RETURN(std::string id, endpoint->id());
  endpoint->opt_out_of_ducking();

  MixFormat format{m.game_rate, 1, 4, SampleKind::f32};
  ORVELLE_ASSIGN_OR_RETURN(auto client, endpoint->activate());
  auto stream = client->initialise_capture(kStreamAutoConvert, float_mono_format(m.game_rate));
  if (!stream) {
    if (stream.error().code == kAccessDenied) return error(stream.error());
    stream = open_native(*endpoint, m.game_rate, format);
    if (!stream) return error(stream.error());
  }
  ORVELLE_TRY((*stream)->start());

  m.open_id = std::move(id);
  m.stream = std::move(*stream);
  m.format = format;
  m.queue.restart();
  set_mic_status(*m.settings.status, "on");
  return {};
}

void check_device(MicrophoneMixer& m, SoundDevices& devices, Ticks now) {
  if (now < m.next_check) return;
  m.next_check = now + kMicCheckInterval;
  if (m.open_id) {
    if (m.settings.device_id) return;  // a configured device is kept while it works
    const auto current = devices.default_capture_endpoint_id();
    if (current && *current == *m.open_id) return;
    close_microphone(m);
  }
  if (auto opened = open_microphone(m, devices); !opened) {
    close_microphone(m);
    set_mic_status(*m.settings.status, mic_status_text(opened.error()));
  }
}

Status read_packets(MicrophoneMixer& m) {
  for (;;) {
    ORVELLE_ASSIGN_OR_RETURN(const std::uint32_t size, m.stream->next_packet_size());
    if (size == 0) return {};
    ORVELLE_ASSIGN_OR_RETURN(const CapturePacket packet, m.stream->get_packet());
    m.queue.take_packet(packet.bytes, packet.frames, packet.silent, m.format);
    ORVELLE_TRY(m.stream->release_packet(packet.frames));
  }
}

}  // namespace

MicSettings make_mic_settings(const RecorderOptions& options, SharedMicVolume volume,
                              SharedMicStatus status) {
  return {options.mic_device, std::move(volume), std::move(status)};
}

void set_mic_status(MicStatus& status, std::string text) { status.set(std::move(text)); }

std::string mic_status_text(const WinError& e) {
  switch (e.code) {
    case kFileNotFound:
    case kElementNotFound:
    case hresult::kDeviceInvalidated: return "missing";
    case kAccessDenied: return "blocked";
    default: return "error: " + e.text();
  }
}

MicrophoneMixer::MicrophoneMixer(std::uint32_t rate, MicSettings s, Ticks now)
    : queue(rate), settings(std::move(s)), next_check(now), game_rate(rate) {}

MicrophoneMixer::~MicrophoneMixer() { close_microphone(*this); }

std::unique_ptr<MicrophoneMixer> new_mic_mixer(std::uint32_t game_rate, MicSettings settings, Ticks now) {
  return std::make_unique<MicrophoneMixer>(game_rate, std::move(settings), now);
}

void pump_microphone(MicrophoneMixer& m, SoundDevices& devices, Ticks now) {
  check_device(m, devices, now);
  if (m.stream) {
    if (auto read = read_packets(m); !read) {
      close_microphone(m);
      set_mic_status(*m.settings.status, mic_status_text(read.error()));
      m.next_check = now + kMicCheckInterval;
    }
  }
  m.queue.bound();
}

void mix_microphone_into(MicrophoneMixer& m, std::span<std::int16_t> values) {
  m.queue.mix_into(values, m.settings.volume->load(std::memory_order_relaxed));
}

}  // namespace orvelle::clips
