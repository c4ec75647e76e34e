// The simulation's scenario reader on any bytes. Besides never failing
// unsafely, a scenario it accepts must be one the simulation can run (sizes,
// rates and times within their limits, events in time order inside the
// window's life, microphone events about its microphones, the playback
// device lost only when there is one) and must read back the same from the
// text it writes.

#include "sim/scenario.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace orvelle::clips::sim;

namespace {

bool side_ok(std::uint32_t side) { return side >= 1 && side <= kMaxSide; }

bool runnable(const Scenario& s) {
  const WindowScript& w = s.window;
  if (!side_ok(w.client.width) || !side_ok(w.client.height)) return false;
  if (w.frame.left > kMaxInset || w.frame.top > kMaxInset || w.frame.right > kMaxInset ||
      w.frame.bottom > kMaxInset)
    return false;
  if (s.fps < 1 || s.fps > kMaxRate || w.refresh > kMaxRate) return false;
  orvelle::Ticks last = w.appear;
  bool closed = false;
  for (const WindowEvent& e : s.events) {
    if (closed || e.at < last) return false;
    if (e.action == WindowAction::resize && (!side_ok(e.size.width) || !side_ok(e.size.height)))
      return false;
    last = e.at;
    closed = e.action == WindowAction::close;
  }
  // The sound devices: formats within limits, one default at most, distinct
  // ids, and microphone events in order about microphones that exist, none
  // after the window has closed.
  auto format_ok = [](const SoundFormat& f) {
    return f.rate >= 1 && f.rate <= kMaxSoundRate && f.channels >= 1 && f.channels <= kMaxChannels;
  };
  if (s.sound && !format_ok(*s.sound)) return false;
  int defaults = 0;
  for (std::size_t i = 0; i < s.mics.size(); ++i) {
    if (!format_ok(s.mics[i].format)) return false;
    defaults += s.mics[i].is_default;
    for (std::size_t j = 0; j < i; ++j)
      if (s.mics[j].id == s.mics[i].id) return false;
  }
  if (defaults > 1) return false;
  orvelle::Ticks last_mic = w.appear;
  for (const MicEvent& e : s.mic_events) {
    if (e.at < last_mic) return false;
    if (closed && e.at > s.events.back().at) return false;
    bool known = false;
    for (const MicDevice& m : s.mics) known = known || m.id == e.id;
    if (!known) return false;
    last_mic = e.at;
  }
  // The playback device is lost only when there is one, inside the window's life.
  if (s.sound_lost) {
    if (!s.sound || *s.sound_lost < w.appear) return false;
    if (closed && *s.sound_lost > s.events.back().at) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto scenario = parse_scenario(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!scenario) {
    if (scenario.error().empty()) __builtin_trap();
    return 0;
  }
  if (!runnable(*scenario)) __builtin_trap();
  auto again = parse_scenario(scenario_json(*scenario));
  if (!again || *again != *scenario) __builtin_trap();
  return 0;
}
