// The simulation's scenario reader on any bytes. Besides never failing
// unsafely, a scenario it accepts must be one the simulation can run (sizes,
// rates and times within their limits, events in time order inside the
// window's life) and must read back the same from the text it writes.

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
