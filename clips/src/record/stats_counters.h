#pragma once
// The session's view of the capture counters that the frame handlers and
// encoder threads of every capture of one recording add to.

#include "encode/capture_stats.h"
#include "record/capture_counters.h"

#include <memory>

namespace orvelle::clips {

std::shared_ptr<const CaptureCounters> counters_of(std::shared_ptr<const CaptureStats> stats);

}  // namespace orvelle::clips
