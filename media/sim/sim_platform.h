#pragma once
// The simulated desktop: a scenario's media sessions behind the bridge's
// platform seam, changed in real time by a player thread of its own, which
// raises the events a real session manager raises, on its own thread.

#include "bridge/platform.h"
#include "sim/scenario.h"

#include <memory>

namespace orvelle::media::sim {

struct World;

class SimPlatform : public MediaPlatform {
 public:
  explicit SimPlatform(Scenario scenario);
  ~SimPlatform() override;
  // Starts the scenario's clock and its player thread (detached: the
  // process ends with its standard input, whatever the scenario still holds).
  void start();

  Result<std::shared_ptr<SessionManager>> open_manager() override;
  std::vector<std::string> visible_window_titles() override;
  std::string app_display_name(const std::string& app_id) override;
  Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions() override;
  std::uint32_t own_process_id() override;

 private:
  std::shared_ptr<World> world_;
  std::vector<ScenarioEvent> events_;
};

}  // namespace orvelle::media::sim
