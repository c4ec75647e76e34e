#pragma once
// The save launcher of the real programs: one detached "writer" thread per
// accepted save, running the platform's writer body with the job.

#include "mp4/clip_job.h"
#include "record/session_ports.h"

#include <functional>

namespace orvelle::clips {

class WriterThreads final : public SaveLauncher {
 public:
  using Body = std::function<void(SaveJob)>;
  explicit WriterThreads(Body body) : body_(std::move(body)) {}
  void launch(SaveJob job) override;

 private:
  Body body_;
};

}  // namespace orvelle::clips
