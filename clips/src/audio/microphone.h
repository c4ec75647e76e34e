#pragma once
// The microphone of a recording with --mic: not a thread of its own, but
// pumped by the "audio" thread once per cycle. The pump follows the device
// (the configured one, else the system's default, looked at every 3 s),
// opens it, drains its packets into the queue as mono floats at the game
// rate and publishes its state as the status text the session reports.

#include "audio/mic_queue.h"
#include "audio/mix_format.h"
#include "audio/sound_ports.h"
#include "common/media_time.h"
#include "shared/microphone_state.h"
#include "shared/options.h"

#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace orvelle::clips {

inline constexpr Ticks kMicCheckInterval = std::chrono::seconds(3);

struct MicSettings {
  std::optional<std::string> device_id;  // absent: follow the default capture device
  SharedMicVolume volume;
  SharedMicStatus status;
};

MicSettings make_mic_settings(const RecorderOptions& options, SharedMicVolume volume,
                              SharedMicStatus status);

void set_mic_status(MicStatus& status, std::string text);
// "missing", "blocked" or "error: " and the error's text.
std::string mic_status_text(const WinError& error);

struct MicrophoneMixer {
  MicrophoneMixer(std::uint32_t game_rate, MicSettings settings, Ticks now);
  ~MicrophoneMixer();  // stops an open microphone
  MicrophoneMixer(const MicrophoneMixer&) = delete;
  MicrophoneMixer& operator=(const MicrophoneMixer&) = delete;

  MicQueue queue;
  MicSettings settings;
  std::optional<std::string> open_id;  // absent: no microphone is open
  std::unique_ptr<CaptureStream> stream;
  MixFormat format;
  Ticks next_check;
  std::uint32_t game_rate;
};

std::unique_ptr<MicrophoneMixer> new_mic_mixer(std::uint32_t game_rate, MicSettings settings, Ticks now);

// The device check when due, the open it calls for, the reading of every
// pending packet and the queue bound; reports only through the status and
// standard error.
void pump_microphone(MicrophoneMixer& mixer, SoundDevices& devices, Ticks now);

// Adds the microphone to the stereo values of one loopback packet.
void mix_microphone_into(MicrophoneMixer& mixer, std::span<std::int16_t> values);

}  // namespace orvelle::clips
