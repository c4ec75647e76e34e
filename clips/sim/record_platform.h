#pragma once
// The simulated machine a recording runs on: the scripted game's window and
// pictures, a software adapter, libswscale and libx264 for the GPU's
// converter and the hardware encoder, libavformat for the MP4 writer, and
// the real standard input and output.

#include "record/session_ports.h"
#include "sim/scenario.h"

#include <memory>

namespace orvelle::clips::sim {

// The adapter the simulation reports.
inline constexpr std::string_view kSimAdapter = "Simulated adapter (libswscale, libx264)";

// scenario stays valid for the platform's life; the simulation starts now.
std::unique_ptr<RecordPlatform> sim_record_platform(const Scenario& scenario);

}  // namespace orvelle::clips::sim
