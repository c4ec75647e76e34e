#include "play/presenter.h"

#include "common/numbers.h"
#include "common/try.h"
#include "play/video_thread.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

constexpr auto kIdleWait = std::chrono::milliseconds(100);
constexpr double kEarlySlack = 0.001;             // seconds
constexpr std::int64_t kMaxPacingSleep = 40'000;  // 4 ms
constexpr std::int64_t kShowAtLeastEvery = 1'000'000;  // 100 ms
constexpr int kSeekCheckEvery = 8;

}  // namespace

Presenter::Presenter(VideoReader& reader, FramesWriter& writer, PlayerState& state,
                     VideoGeometry geometry, Ticks frame_duration)
    : reader_(reader), writer_(writer), state_(state), geometry_(geometry),
      frame_duration_(frame_duration) {}

Result<std::optional<Presenter::Sample>> Presenter::read_video_sample() {
  for (int i = 0; i < kMaxEmptyReads; ++i) {
    ORVELLE_ASSIGN_OR_RETURN(VideoRead got, reader_.read());
    if (got.end_of_stream) return std::optional<Sample>();
    if (got.type_changed) {
      ORVELLE_ASSIGN_OR_RETURN(VideoTypeAttributes type, reader_.current_type());
      ORVELLE_ASSIGN_OR_RETURN(geometry_, read_video_geometry(type));
    }
    if (got.picture) {
      std::int64_t d = std::max<std::int64_t>(got.duration.value_or(frame_duration_.count()), 1);
      return std::optional<Sample>(Sample{std::move(got.picture), got.time, d});
    }
  }
  return std::optional<Sample>();
}

Status Presenter::show(Sample& sample, std::uint32_t generation) {
  ORVELLE_TRY(writer_.publish_frame(*sample.picture, geometry_, sample.time, generation));
  last_shown_ = state_.time.now_100ns();
  return {};
}

Status Presenter::seek(std::uint32_t g, double position) {
  handled_ = g;
  std::int64_t target = saturate_cast<std::int64_t>(position * 1e7);
  ORVELLE_TRY(reader_.seek(target));
  std::optional<Sample> picture;
  for (int count = 1;; ++count) {
    ORVELLE_ASSIGN_OR_RETURN(std::optional<Sample> sample, read_video_sample());
    if (!sample) break;  // the last sample read, if any, is the one to show
    picture = std::move(sample);
    if (picture->time + picture->duration > target) break;
    if (count % kSeekCheckEvery == 0) {
      // A newer seek or stop abandons this one: the loop's next pass seeks
      // again (or leaves), so a long decode does not hold either up.
      std::lock_guard lock(state_.playback);
      if (state_.seek_generation != g || state_.stop) return {};
    }
  }
  {
    std::lock_guard lock(state_.playback);
    if (state_.seek_generation != g || state_.stop) return {};
  }
  if (picture) ORVELLE_TRY(show(*picture, g));
  complete_seek(state_, g);
  if (!picture) finish_playback(state_, g);
  return {};
}

Status Presenter::run() {
  last_shown_ = state_.time.now_100ns();
  for (;;) {
    std::uint32_t g;
    double position;
    bool running;
    {
      std::unique_lock lock(state_.playback);
      if (state_.stop) return {};
      g = state_.seek_generation;
      position = state_.position;
      running = state_.playing && !state_.seeking && !state_.ended;
      if (g == handled_ && !running) {
        wait_for_change(state_, lock, kIdleWait);
        continue;
      }
    }
    if (g != handled_) {
      held_.reset();
      ORVELLE_TRY(seek(g, position));
      continue;
    }
    if (!held_) {
      ORVELLE_ASSIGN_OR_RETURN(held_, read_video_sample());
      if (!held_) {
        finish_playback(state_, handled_);
        continue;
      }
    }
    double pos = read_play_clock(state_);
    double start = static_cast<double>(held_->time) / 1e7;
    if (start > pos + kEarlySlack) {
      std::int64_t early = saturate_cast<std::int64_t>((start - pos) * 1e7);
      state_.time.sleep(Ticks{std::min(early, kMaxPacingSleep)});
      continue;
    }
    double end = static_cast<double>(held_->time + held_->duration) / 1e7;
    bool late = pos > end;
    if (!late || state_.time.now_100ns() - last_shown_ >= kShowAtLeastEvery)
      ORVELLE_TRY(show(*held_, handled_));
    held_.reset();
  }
}

}  // namespace orvelle::clips
