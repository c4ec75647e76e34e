#include "ring/ring.h"

#include <algorithm>
#include <cstring>

namespace orvelle::clips {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerMs = 10'000;
constexpr std::int64_t kUnixEpochIn1601Ticks = 116'444'736'000'000'000;
// A pause never starts more than this long before the minimise was seen.
constexpr std::int64_t kMaxPauseLead = 5'000'000;

std::uint32_t limit_seconds(std::uint32_t seconds) {
  return std::clamp(seconds, kMinRingSeconds, kMaxRingSeconds);
}

std::uint64_t bytes_of(const Gop& gop) {
  std::uint64_t n = 0;
  for (const auto* list : {&gop.video, &gop.audio, &gop.game_audio})
    for (const Packet& p : *list) n += p.len;
  return n;
}

// Start codes: 00 00 01, or 00 00 00 01. Returns the code's length at i, or 0.
std::size_t start_code_at(std::span<const std::uint8_t> b, std::size_t i) {
  if (b[i] != 0 || b[i + 1] != 0) return 0;
  if (b[i + 2] == 1) return 3;
  if (b[i + 2] == 0 && i + 4 <= b.size() && b[i + 3] == 1) return 4;
  return 0;
}

void put_unit(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> unit) {
  static constexpr std::uint8_t kStartCode[] = {0, 0, 0, 1};
  out.insert(out.end(), std::begin(kStartCode), std::end(kStartCode));
  out.insert(out.end(), unit.begin(), unit.end());
}

}  // namespace

PacketData share_bytes(std::span<const std::uint8_t> bytes) {
  auto data = std::make_shared_for_overwrite<std::uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(data.get(), bytes.data(), bytes.size());
  return data;
}

std::optional<std::vector<std::uint8_t>> find_sequence_header(
    std::span<const std::uint8_t> frame) {
  std::optional<std::span<const std::uint8_t>> sps, pps;
  auto take = [&](std::size_t from, std::size_t to) {
    if (from >= to) return;
    auto unit = frame.subspan(from, to - from);
    std::uint8_t type = unit[0] & 0x1F;
    if (type == 7 && !sps) sps = unit;
    if (type == 8 && !pps) pps = unit;
  };
  std::optional<std::size_t> unit_start;
  std::size_t i = 0;
  // The scan ends once both are found: what follows them is the picture,
  // most of a key frame's bytes.
  while (i + 3 <= frame.size() && !(sps && pps)) {
    std::size_t code = start_code_at(frame, i);
    if (code == 0) {
      ++i;
      continue;
    }
    if (unit_start) take(*unit_start, i);
    i += code;
    unit_start = i;
  }
  if (unit_start) take(*unit_start, frame.size());
  if (!sps || !pps) return std::nullopt;
  std::vector<std::uint8_t> header;
  header.reserve(8 + sps->size() + pps->size());
  put_unit(header, *sps);
  put_unit(header, *pps);
  return header;
}

Ring::Ring(std::uint32_t seconds, RingPlatform platform)
    : platform_(std::move(platform)), seconds_(limit_seconds(seconds)) {}

std::optional<std::int64_t> Ring::offset_at(std::int64_t x) const {
  std::int64_t offset = dropped_gap_total_;
  for (const Gap& g : gaps_) {
    std::int64_t end = g.capture_start + g.length;
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
void Ring::trim(std::int64_t newest_time, std::vector<std::shared_ptr<Gop>>& released) {
  const std::int64_t limit = static_cast<std::int64_t>(seconds_) * kTicksPerSecond + kTicksPerSecond;
  while (gops_.size() > 1) {
    const Gop& second = *gops_[1];
    std::int64_t t2 = second.video.empty() ? newest_time : second.video.front().time;
    if (newest_time - t2 <= limit) break;
    remove_oldest_group(released);
  }
}

// Gaps before the oldest kept picture no longer sit in any clip; their length
// still counts for the offsets of later capture times.
void Ring::drop_old_gaps(std::int64_t newest_time) {
  const Gop& oldest = *gops_.front();
  std::int64_t t0 = oldest.video.empty() ? newest_time : oldest.video.front().time;
  while (!gaps_.empty() && gaps_.front().media_start < t0) {
    dropped_gap_total_ += gaps_.front().length;
    gaps_.pop_front();
  }
}

void start_ring(Ring& ring, std::int64_t t) {
  std::int64_t now = ring.platform_.system_time();
  std::lock_guard lock(ring.mutex_);
  ring.wall_start_ms_ = now > kUnixEpochIn1601Ticks ? (now - kUnixEpochIn1601Ticks) / kTicksPerMs : 0;
  ring.base_ = t;
  ring.gaps_.clear();
  ring.pause_start_.reset();
  ring.resume_pending_ = false;
  ring.dropped_gap_total_ = 0;
  ring.last_video_end_ = 0;
}

std::optional<std::int64_t> time_video_frame(Ring& ring, std::int64_t t, std::int64_t interval,
                                             WindowHandle window) {
  std::lock_guard lock(ring.mutex_);
  if (ring.pause_start_) {
    const std::int64_t pause = *ring.pause_start_;
    if (!ring.resume_pending_) {
      if (ring.platform_.is_minimised(window)) return std::nullopt;
      ring.resume_pending_ = true;
    }
    if (t < pause) return std::nullopt;
    std::int64_t offset = ring.offset_at(pause).value_or(0);
    ring.gaps_.push_back({pause, pause - ring.base_ - offset - 1, t - pause});
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
  const std::int64_t time = packet.time;
  ring.total_bytes_ += packet.len;
  ring.gops_.back()->video.push_back(std::move(packet));
  ring.trim(time, released);
  ring.drop_old_gaps(time);
}

void push_audio_packet(Ring& ring, bool game_track, Packet packet) {
  std::lock_guard lock(ring.mutex_);
  const std::int64_t t = packet.time;
  if (ring.base_ == 0 || t < ring.base_ || ring.gops_.empty()) return;
  if (ring.pause_start_ && t >= *ring.pause_start_) return;
  auto offset = ring.offset_at(t);
  if (!offset) return;
  packet.time = t - ring.base_ - *offset;
  ring.total_bytes_ += packet.len;
  Gop& newest = *ring.gops_.back();
  (game_track ? newest.game_audio : newest.audio).push_back(std::move(packet));
}

void pause_ring(Ring& ring, std::int64_t now) {
  std::lock_guard lock(ring.mutex_);
  if (ring.base_ == 0 || ring.pause_start_) return;
  // The pause starts where the last picture ended, but never more than half
  // a second before the minimise and never after it.
  std::int64_t p = now;
  if (ring.last_video_end_ > 0)
    p = std::max(now - kMaxPauseLead, std::min(ring.last_video_end_, now));
  auto offset = ring.offset_at(p - 1);
  if (offset && !ring.gops_.empty()) {
    // Sound recorded after the last picture would play over the cut.
    const std::int64_t m = p - ring.base_ - *offset;
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
  const std::int64_t t0 = ring.gops_.front()->video.front().time;
  RingSnapshot snap;
  snap.sequence_header = *ring.sequence_header_;
  snap.groups.reserve(ring.gops_.size());
  snap.groups.assign(ring.gops_.begin(), ring.gops_.end() - 1);
  // The newest group still grows, so the snapshot gets a copy of its list.
  snap.groups.push_back(std::make_shared<const Gop>(*ring.gops_.back()));

  std::int64_t cut_before = ring.dropped_gap_total_;
  for (const Gap& g : ring.gaps_)
    if (g.media_start < t0) cut_before += g.length;
  snap.start_wall_ms = std::max<std::int64_t>(0, ring.wall_start_ms_ + (t0 + cut_before) / kTicksPerMs);
  for (const Gap& g : ring.gaps_) {
    if (g.media_start < t0 || g.length <= 0) continue;
    snap.gaps.push_back(
        {std::max<std::int64_t>(0, ring.wall_start_ms_ + (g.capture_start - ring.base_) / kTicksPerMs),
         static_cast<std::uint64_t>(g.length / kTicksPerMs)});
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
  fill.seconds = static_cast<double>(last.time + last.duration - first.time) / kTicksPerSecond;
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
