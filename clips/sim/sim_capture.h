#pragma once
// The capture of the scripted game's window: the game presents its pictures
// on its own thread, the core's frame handler takes each one as the
// platform's frame pool would hand it over, libswscale converts and libx264
// encodes on the core's encoder thread. Every decision on the way is the
// core's; only the platform's parts are stand-ins.

#include "encode/capture_stats.h"
#include "record/session_ports.h"
#include "sim/scenario.h"
#include "sim/sim_windows.h"

#include <memory>
#include <string>

namespace orvelle::clips::sim {

// The simulation's encoder, as the status line and the log name it.
inline constexpr std::string_view kSimCodec = "libx264";

struct SimCaptureSetup {
  RecorderOptions options;
  const Scenario& scenario;
  const ScriptedWindow& window;
  SimWindows& windows;
  SimClock& clock;
  Ticks start{0};  // the clock's reading when the simulation started
  std::shared_ptr<Ring> ring;
  std::shared_ptr<CaptureStats> stats;  // one for the whole recording
  SharedOutput output;
};

class SimCaptureFactory final : public CaptureFactory {
 public:
  explicit SimCaptureFactory(SimCaptureSetup setup) : setup_(std::move(setup)) {}
  Result<std::unique_ptr<RunningCapture>> start() override;

 private:
  SimCaptureSetup setup_;
};

}  // namespace orvelle::clips::sim
