// The simulation's scenario reader on any bytes: a refusal always says why,
// and an accepted scenario names only sessions that exist by each event's
// time, in time order.

#include "common/tests/fuzz/fuzz_target.h"

#include "sim/scenario.h"

#include <string_view>

using namespace orvelle::media::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto s = parse_scenario(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!s) {
    FUZZ_CHECK(!s.error().empty());
    return 0;
  }
  std::size_t sessions = s->sessions.size();
  FUZZ_CHECK(!s->current || *s->current < sessions);
  std::uint64_t last = 0;
  for (const ScenarioEvent& e : s->events) {
    FUZZ_CHECK(e.at >= last && e.at <= kMaxMilliseconds);
    last = e.at;
    if (e.kind == EventKind::add) ++sessions;
    if (e.kind == EventKind::set || e.kind == EventKind::remove ||
        (e.kind == EventKind::current && !e.no_current))
      FUZZ_CHECK(e.session < sessions);
  }
  FUZZ_CHECK(sessions <= kMaxSessions);
  return 0;
}
