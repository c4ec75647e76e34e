#pragma once
// The ring of recent seconds: the encoded pictures and sound of the last
// `seconds` seconds, kept in memory as groups of pictures, and the clip
// timeline that cuts out the time the game window spent minimised.
//
// Two clocks, both signed counts of 100 ns: capture time comes with each
// frame and sound block; clip time is capture time minus the capture time of
// the ring's first frame minus every pause cut out so far. Packet times in
// the ring are clip times.
//
// Every operation takes the ring's one mutex for its whole run and takes no
// other lock while holding it, so callers may hold their own lock first.

#include "common/media_time.h"
#include "shared/window_handle.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace orvelle::clips {

// Immutable bytes shared by the ring and every save snapshot; freed with
// their last holder.
using PacketData = std::shared_ptr<const std::uint8_t[]>;

// The one copy of encoded bytes into shared storage.
PacketData share_bytes(std::span<const std::uint8_t> bytes);

struct Packet {
  PacketData data;
  std::uint64_t len = 0;
  Ticks time{0};  // clip time (a capture time until the ring takes it)
  Ticks duration{0};
  bool key = false;

  std::span<const std::uint8_t> bytes() const { return {data.get(), static_cast<std::size_t>(len)}; }
};

// The pictures from one key frame up to the next, with the sound of that span.
struct Gop {
  std::vector<Packet> video;       // the first is a key frame
  std::vector<Packet> audio;       // track 0: game sound with the microphone mixed in
  std::vector<Packet> game_audio;  // track 1: game sound alone, when recorded
};

// A closed pause; it covers capture times [capture_start, capture_start + length).
struct Gap {
  Ticks capture_start{0};
  Ticks media_start{0};  // the clip time at which the pause sits
  Ticks length{0};       // never negative
};

// A pause as a saved clip reports it.
struct SavedGap {
  std::int64_t at = 0;   // milliseconds since 1970 at which the pause began
  std::uint64_t ms = 0;  // length in milliseconds
  bool operator==(const SavedGap&) const = default;
};

// What a save takes out of the ring. Groups that the ring no longer changes
// are shared with it, so a snapshot costs a list of references, not a copy
// of the media.
struct RingSnapshot {
  std::vector<std::uint8_t> sequence_header;
  std::vector<std::shared_ptr<const Gop>> groups;
  std::int64_t start_wall_ms = 0;  // milliseconds since 1970 of the first picture
  std::vector<SavedGap> gaps;
};

struct BufferFill {
  double seconds = 0;
  std::uint64_t total_bytes = 0;
};

// What the ring asks of the platform.
struct RingPlatform {
  // The precise system time (file time: since 1601-01-01 UTC).
  std::function<Ticks()> system_time;
  std::function<bool(WindowHandle)> is_minimised;
};

inline constexpr std::uint32_t kMinRingSeconds = 5;
inline constexpr std::uint32_t kMaxRingSeconds = 600;

class Ring {
 public:
  // seconds is limited to 5..600.
  Ring(std::uint32_t seconds, RingPlatform platform);
  Ring(const Ring&) = delete;
  Ring& operator=(const Ring&) = delete;

 private:
  friend void start_ring(Ring&, Ticks);
  friend std::optional<Ticks> time_video_frame(Ring&, Ticks, Ticks, WindowHandle);
  friend void append_video_packet(Ring&, Packet);
  friend void push_audio_packet(Ring&, bool, Packet);
  friend void pause_ring(Ring&, Ticks);
  friend void mark_resume(Ring&);
  friend void set_ring_seconds(Ring&, std::uint32_t);
  friend std::optional<RingSnapshot> snapshot_ring(Ring&);
  friend BufferFill buffer_seconds(Ring&);
  friend void clear_ring(Ring&);

  std::optional<Ticks> offset_at(Ticks x) const;
  // Removed groups go to released, to be freed after the lock is let go.
  void trim(Ticks newest_time, std::vector<std::shared_ptr<Gop>>& released);
  void drop_old_gaps(Ticks newest_time);
  void remove_oldest_group(std::vector<std::shared_ptr<Gop>>& released);

  std::mutex mutex_;
  RingPlatform platform_;
  std::optional<Ticks> pause_start_;
  bool resume_pending_ = false;
  // Only the newest group changes; the older ones are frozen and may be
  // shared with snapshots.
  std::deque<std::shared_ptr<Gop>> gops_;
  std::deque<Gap> gaps_;
  std::optional<std::vector<std::uint8_t>> sequence_header_;
  std::uint64_t total_bytes_ = 0;
  std::int64_t wall_start_ms_ = 0;
  Ticks base_{0};  // 0: not started
  Ticks dropped_gap_total_{0};
  Ticks last_video_end_{0};
  std::uint32_t seconds_;
};

// At the first accepted frame of a capture: the timeline starts anew at t.
void start_ring(Ring& ring, Ticks t);
// The clip time of a frame captured at t, or nothing when the frame is to be
// dropped (the window is still minimised, or t lies inside a pause).
std::optional<Ticks> time_video_frame(Ring& ring, Ticks t, Ticks interval, WindowHandle window);
// One encoded picture, its time already a clip time. A key frame opens a new
// group; older groups leave once the rest span more than seconds + 1 s.
void append_video_packet(Ring& ring, Packet packet);
// One AAC frame whose time is still a capture time; game_track picks track 1.
void push_audio_packet(Ring& ring, bool game_track, Packet packet);
// The window was minimised at capture time now.
void pause_ring(Ring& ring, Ticks now);
// The window was restored; the pause closes at the next frame.
void mark_resume(Ring& ring);
// Limited to 5..600; takes effect with the next picture.
void set_ring_seconds(Ring& ring, std::uint32_t seconds);
// Nothing until a key frame brought the sequence header and a group holds a picture.
std::optional<RingSnapshot> snapshot_ring(Ring& ring);
BufferFill buffer_seconds(Ring& ring);
// Empties the ring after a capture restart; the next start_ring resets the timeline.
void clear_ring(Ring& ring);

}  // namespace orvelle::clips
