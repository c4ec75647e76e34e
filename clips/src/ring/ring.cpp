#include "ring/ring.h"

#include "ring/sequence_header.h"

#include <algorithm>
#include <cstring>

namespace orvelle::clips {
namespace {

// A pause never starts more than this long before the minimise was seen.
constexpr Ticks kMaxPauseLead = std::chrono::milliseconds(500);

std::uint32_t limit_seconds(std::uint32_t seconds) {
  return std::clamp(seconds, kMinRingSeconds, kMaxRingSeconds);
}

std::uint64_t bytes_of(const Gop& gop) {
  std::uint64_t n = 0;
  for (const auto* list : {&gop.video, &gop.audio, &gop.game_audio})
    for (const Packet& p : *list) n += p.len;
  return n;
}

}  // namespace

PacketData share_bytes(std::span<const std::uint8_t> bytes) {
  auto data = std::make_shared_for_overwrite<std::uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(data.get(), bytes.data(), bytes.size());
  return data;
}

Ring::Ring(std::uint32_t seconds, RingPlatform platform)
    : platform_(std::move(platform)), seconds_(limit_seconds(seconds)) {}

std::optional<Ticks> Ring::offset_at(Ticks x) const {
  Ticks offset = dropped_gap_total_;
  for (const Gap& g : gaps_) {
    Ticks end = g.capture_start + g.length;
    if (g.capture_start <= x && x < end) return std::nullopt;
    if (end <= x) offset += g.length;
  }
  return offset;
}

void Ring::remove_oldest_group(std::vector<std::shared_ptr<Gop>>& released) {
  total_bytes_ -= bytes_of(*gops_.front());
  released.push_back(std::move(gops_.front()));
  gops_.pop_front();
}

// The oldest group goes only while the groups after it still span more than
// the limit, so a clip always starts on a key frame and the ring holds at
// least seconds + 1 s; a single group longer than that is kept whole.
void Ring::trim(Ticks newest_time, std::vector<std::shared_ptr<Gop>>& released) {
  const Ticks limit = static_cast<std::int64_t>(seconds_) * kTicksPerSecond + kTicksPerSecond;
  while (gops_.size() > 1) {
    const Gop& second = *gops_[1];
    Ticks t2 = second.video.empty() ? newest_time : second.video.front().time;
    if (newest_time - t2 <= limit) break;
    remove_oldest_group(released);
  }
}

// Gaps before the oldest kept picture no longer sit in any clip; their length
// still counts for the offsets of later capture times.
void Ring::drop_old_gaps(Ticks newest_time) {
  const Gop& oldest = *gops_.front();
  Ticks t0 = oldest.video.empty() ? newest_time : oldest.video.front().time;
  while (!gaps_.empty() && gaps_.front().media_start < t0) {
    dropped_gap_total_ += gaps_.front().length;
    gaps_.pop_front();
  }
}

void start_ring(Ring& ring, Ticks t) {
  Ticks now = ring.platform_.system_time();
  std::lock_guard lock(ring.mutex_);
  ring.wall_start_ms_ = unix_ms_from_file_time(now);
  ring.base_ = t;
  ring.gaps_.clear();
  ring.pause_start_.reset();
  ring.resume_pending_ = false;
  ring.dropped_gap_total_ = Ticks{0};
  ring.last_video_end_ = Ticks{0};
}

std::optional<Ticks> time_video_frame(Ring& ring, Ticks t, Ticks interval,
                                             WindowHandle window) {
  std::lock_guard lock(ring.mutex_);
  if (ring.pause_start_) {
    const Ticks pause = *ring.pause_start_;
    if (!ring.resume_pending_) {
      if (ring.platform_.is_minimised(window)) return std::nullopt;
      ring.resume_pending_ = true;
    }
    if (t < pause) return std::nullopt;
    Ticks offset = ring.offset_at(pause).value_or(Ticks{0});
    ring.gaps_.push_back({pause, pause - ring.base_ - offset - Ticks{1}, t - pause});
    ring.pause_start_.reset();
    ring.resume_pending_ = false;
  }
  auto offset = ring.offset_at(t);
  if (!offset) return std::nullopt;
  ring.last_video_end_ = t + interval;
  return t - ring.base_ - *offset;
}

void append_video_packet(Ring& ring, Packet packet) {
  // Trimmed groups free their packets here only once the lock is let go.
  std::vector<std::shared_ptr<Gop>> released;
  std::lock_guard lock(ring.mutex_);
  if (packet.key) {
    if (!ring.sequence_header_) ring.sequence_header_ = find_sequence_header(packet.bytes());
    ring.gops_.push_back(std::make_shared<Gop>());
  } else if (ring.gops_.empty()) {
    return;
  }
  const Ticks time = packet.time;
  ring.total_bytes_ += packet.len;
  ring.gops_.back()->video.push_back(std::move(packet));
  ring.trim(time, released);
  ring.drop_old_gaps(time);
}

void push_audio_packet(Ring& ring, bool game_track, Packet packet) {
  std::lock_guard lock(ring.mutex_);
  const Ticks t = packet.time;
  if (ring.base_ == Ticks{0} || t < ring.base_ || ring.gops_.empty()) return;
  if (ring.pause_start_ && t >= *ring.pause_start_) return;
  auto offset = ring.offset_at(t);
  if (!offset) return;
  packet.time = t - ring.base_ - *offset;
  ring.total_bytes_ += packet.len;
  Gop& newest = *ring.gops_.back();
  (game_track ? newest.game_audio : newest.audio).push_back(std::move(packet));
}

void pause_ring(Ring& ring, Ticks now) {
  std::lock_guard lock(ring.mutex_);
  if (ring.base_ == Ticks{0} || ring.pause_start_) return;
  // The pause starts where the last picture ended, but never more than half
  // a second before the minimise and never after it.
  Ticks p = now;
  if (ring.last_video_end_ > Ticks{0})
    p = std::max(now - kMaxPauseLead, std::min(ring.last_video_end_, now));
  auto offset = ring.offset_at(p - Ticks{1});
  if (offset && !ring.gops_.empty()) {
    // Sound recorded after the last picture would play over the cut.
    const Ticks m = p - ring.base_ - *offset;
    Gop& newest = *ring.gops_.back();
    for (auto* list : {&newest.audio, &newest.game_audio}) {
      while (!list->empty() && list->back().time >= m) {
        ring.total_bytes_ -= list->back().len;
        list->pop_back();
      }
    }
  }
  ring.pause_start_ = p;
  ring.resume_pending_ = false;
}

void mark_resume(Ring& ring) {
  std::lock_guard lock(ring.mutex_);
  if (ring.pause_start_) ring.resume_pending_ = true;
}

void set_ring_seconds(Ring& ring, std::uint32_t seconds) {
  std::lock_guard lock(ring.mutex_);
  ring.seconds_ = limit_seconds(seconds);
}

std::optional<RingSnapshot> snapshot_ring(Ring& ring) {
  std::lock_guard lock(ring.mutex_);
  if (!ring.sequence_header_ || ring.gops_.empty() || ring.gops_.front()->video.empty())
    return std::nullopt;
  const Ticks t0 = ring.gops_.front()->video.front().time;
  RingSnapshot snap;
  snap.sequence_header = *ring.sequence_header_;
  snap.groups.reserve(ring.gops_.size());
  snap.groups.assign(ring.gops_.begin(), ring.gops_.end() - 1);
  // The newest group still grows, so the snapshot gets a copy of its list.
  snap.groups.push_back(std::make_shared<const Gop>(*ring.gops_.back()));

  Ticks cut_before = ring.dropped_gap_total_;
  for (const Gap& g : ring.gaps_)
    if (g.media_start < t0) cut_before += g.length;
  snap.start_wall_ms = std::max<std::int64_t>(0, ring.wall_start_ms_ + whole_milliseconds(t0 + cut_before));
  for (const Gap& g : ring.gaps_) {
    if (g.media_start < t0 || g.length <= Ticks{0}) continue;
    snap.gaps.push_back(
        {std::max<std::int64_t>(0, ring.wall_start_ms_ + whole_milliseconds(g.capture_start - ring.base_)),
         static_cast<std::uint64_t>(whole_milliseconds(g.length))});
  }
  return snap;
}

BufferFill buffer_seconds(Ring& ring) {
  std::lock_guard lock(ring.mutex_);
  BufferFill fill{0.0, ring.total_bytes_};
  if (ring.gops_.empty() || ring.gops_.front()->video.empty() || ring.gops_.back()->video.empty())
    return fill;
  const Packet& first = ring.gops_.front()->video.front();
  const Packet& last = ring.gops_.back()->video.back();
  fill.seconds = seconds_of(last.time + last.duration - first.time);
  return fill;
}

void clear_ring(Ring& ring) {
  // A full ring is many thousands of packets: they are freed once the lock
  // is let go.
  std::deque<std::shared_ptr<Gop>> released;
  std::lock_guard lock(ring.mutex_);
  released.swap(ring.gops_);
  ring.total_bytes_ = 0;
  ring.sequence_header_.reset();
}

}  // namespace orvelle::clips
