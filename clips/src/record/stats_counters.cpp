#include "record/stats_counters.h"

namespace orvelle::clips {
namespace {

class StatsCounters final : public CaptureCounters {
 public:
  explicit StatsCounters(std::shared_ptr<const CaptureStats> stats) : stats_(std::move(stats)) {}

  CounterReadings read() const override {
    return {reading(stats_->captured), reading(stats_->paced_out), reading(stats_->busy_drop),
            reading(stats_->size_skip), reading(stats_->sent),      reading(stats_->packets),
            reading(stats_->bytes),     reading(stats_->keyframes)};
  }
  std::uint64_t size_skip() const override { return reading(stats_->size_skip); }

 private:
  std::shared_ptr<const CaptureStats> stats_;
};

}  // namespace

std::shared_ptr<const CaptureCounters> counters_of(std::shared_ptr<const CaptureStats> stats) {
  return std::make_shared<StatsCounters>(std::move(stats));
}

}  // namespace orvelle::clips
