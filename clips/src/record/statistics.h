#pragma once
// The two plain lines for people watching standard error: one each second
// with what happened in that second, one at the end with the totals. Their
// numbers print the same on every build.

#include "common/media_time.h"
#include "record/capture_counters.h"
#include "ring/ring.h"

#include <cstdint>
#include <string>

namespace orvelle::clips {

// Differences since the previous tick's readings, except in-flight (now)
// and size-skip (the running total).
std::string statistics_line(std::uint64_t tick, const CounterReadings& now,
                            const CounterReadings& before, std::uint64_t in_flight,
                            const BufferFill& buffer);

// elapsed: since the session started; at least a millisecond counts.
std::string total_line(Ticks elapsed, const CounterReadings& totals);

}  // namespace orvelle::clips
