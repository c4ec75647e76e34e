#pragma once
// The simulated machine's sound: a playback device whose loopback hears the
// game (silence with a 1 kHz beep of 100 ms at each whole second of capture
// time since the simulation started) until the scenario loses it,
// microphones that hear a steady 440 Hz tone and come and go as the
// scenario says, and libavcodec's AAC encoder as the encoder transform.
// Packets come in real time, 10 ms each, stamped on the clock the game's
// pictures are stamped on.

#include "audio/sound_ports.h"
#include "sim/scenario.h"
#include "sim/sim_clock.h"

#include <memory>

namespace orvelle::clips::sim {

inline constexpr double kBeepHz = 1000, kToneHz = 440;
inline constexpr float kBeepLevel = 0.5f, kToneLevel = 0.25f;
inline constexpr Ticks kBeepLength = std::chrono::milliseconds(100);

// What the game plays at capture time t (start: the simulation's start).
float game_sound_at(Ticks t, Ticks start);
// What a microphone hears at t.
float microphone_at(Ticks t);

// The WAVEFORMATEXTENSIBLE bytes of a device's format.
std::vector<std::uint8_t> device_format_bytes(const SoundFormat& format);

// scenario and clock outlive every object made from them.
std::unique_ptr<SoundDevices> sim_sound_devices(const Scenario& scenario, SimClock& clock, Ticks start);
std::unique_ptr<SoundPlatform> sim_sound_platform(const Scenario& scenario, SimClock& clock, Ticks start);

}  // namespace orvelle::clips::sim
