#pragma once
// What the bridge asks of the platform: the media-session manager and its
// sessions, the visible windows' titles, app display names, and time. The
// Windows layer answers with Windows.Media.Control (platform_win.h), the
// simulation with a scenario, the tests with fakes.

#include "bridge/messages.h"
#include "common/win_error.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::media {

using Instant = std::chrono::steady_clock::time_point;

struct PictureSize {
  std::uint32_t width = 0, height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};
struct PictureBounds {
  std::uint32_t x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PictureBounds&, const PictureBounds&) = default;
};

// A thumbnail's decoded picture.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual Result<PictureSize> size() = 0;
  // RGBA bytes (straight alpha, rows top-down) of the picture scaled to
  // scaled, and cut to bounds of the scaled picture when given.
  virtual Result<std::vector<std::uint8_t>> pixels(PictureSize scaled,
                                                   std::optional<PictureBounds> bounds) = 0;
};

// A track's thumbnail, opened and decoded on request (each wait at most 3 s).
class Thumbnail {
 public:
  virtual ~Thumbnail() = default;
  virtual Result<std::unique_ptr<Picture>> open() = 0;
};

// Each field is absent when it could not be read; the album artist, the
// artist's stand-in, may be left unread while the artist is not empty.
struct TrackProperties {
  std::optional<std::string> title, artist, album_artist, album;
  std::shared_ptr<Thumbnail> thumbnail;  // null: none, or unreadable
};

// An unreadable control counts as off; the toggle's own reading is kept,
// since the "toggle" command fails on it.
struct Controls {
  bool previous = false, next = false;
  std::optional<bool> toggle = false;  // absent: unreadable
  bool play = false, pause = false;
};

// The playback status numbers of the platform.
enum PlaybackStatus : std::int32_t {
  kClosed = 0, kOpened = 1, kChanging = 2, kStopped = 3, kPlaying = 4, kPaused = 5
};

struct PlaybackInfo {
  std::optional<std::int32_t> status;  // absent: unreadable
  Result<Controls> controls;           // its failure ends a reading
  std::optional<double> rate;          // absent: missing or unreadable
};

// What a caller reads of a session's playback info; what it leaves out
// may stay at its default. The status pass runs over every session at
// every refresh, so it reads the one property it needs.
enum class PlaybackReading {
  status,  // the status alone
  toggle,  // the toggle control, and the status when the control is off
  all,     // the status, every control and the rate
};

// 100-ns ticks: start, end and position as spans, last_updated since 1601.
struct TimelineTicks {
  std::int64_t start = 0, end = 0, position = 0, last_updated = 0;
};

// Called on threads of the platform's choosing; it only sends into the
// run loop's channel.
using EventSink = std::function<void()>;

// An event registration; dropping it unregisters the event.
class Registration {
 public:
  virtual ~Registration() = default;
};

enum class SessionEvent { media_properties, playback_info, timeline };

// The playback requests of a session, each answered by the player.
enum class PlaybackRequest { play, pause, toggle, next, previous };

class MediaSession {
 public:
  virtual ~MediaSession() = default;
  virtual Result<std::string> app_id() = 0;
  // The asynchronous request and its wait (at most 3 s) together.
  virtual Result<TrackProperties> media_properties() = 0;
  virtual Result<PlaybackInfo> playback_info(PlaybackReading what) = 0;
  virtual Result<TimelineTicks> timeline() = 0;
  virtual Result<std::unique_ptr<Registration>> subscribe(SessionEvent event, EventSink sink) = 0;
  // The request and its wait (at most 3 s): whether the player took it.
  virtual Result<bool> request(PlaybackRequest what) = 0;
  // To a position in 100-ns ticks from the start of the track.
  virtual Result<bool> seek(std::int64_t position) = 0;
};

using SessionRef = std::shared_ptr<MediaSession>;

class SessionManager {
 public:
  virtual ~SessionManager() = default;
  // A null entry stands for a session that could not be fetched.
  virtual Result<std::vector<SessionRef>> sessions() = 0;
  // Null when there is none.
  virtual Result<SessionRef> current_session() = 0;
  // Registered for the life of the manager.
  virtual Status on_current_session_changed(EventSink sink) = 0;
  virtual Status on_sessions_changed(EventSink sink) = 0;
};

// What a process says of itself: its app id, when it has one, and the full
// path of its executable ("" when unreadable).
struct ProcessIdentity {
  std::optional<std::string> app_id;
  std::string image_path;
};

// One audio session of a playback device.
class AudioSession {
 public:
  virtual ~AudioSession() = default;
  virtual std::uint32_t process_id() = 0;
  // Absent when the process cannot be opened.
  virtual std::optional<ProcessIdentity> identity() = 0;
  // Whether the session's volume can be reached at all.
  virtual bool has_volume() = 0;
  virtual std::optional<float> level() = 0;  // 0..1; absent when unreadable
  virtual Status set_level(float level) = 0;
  virtual Status unmute() = 0;
};

class MediaPlatform {
 public:
  virtual ~MediaPlatform() = default;
  // Joins the apartment and obtains the manager (waiting at most 3 s).
  virtual Result<std::shared_ptr<SessionManager>> open_manager() = 0;
  // Titles of the visible top-level windows, in the system's order.
  virtual std::vector<std::string> visible_window_titles() = 0;
  // The app's display name; empty when it cannot be found.
  virtual std::string app_display_name(const std::string& app_id) = 0;
  // The audio sessions of every active playback device, in device order;
  // fails only when the devices cannot be listed (a device or session that
  // cannot be read is left out).
  virtual Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions() = 0;
  virtual std::uint32_t own_process_id() = 0;
};

// The run loop's time: injectable, so the tests run it on a fake clock.
class LoopClock {
 public:
  virtual ~LoopClock() = default;
  virtual Instant now() = 0;
  virtual std::uint64_t unix_time_ms() = 0;
  virtual void sleep_for(std::chrono::milliseconds span) = 0;
  // The channel's wait until the deadline (one already passed: a queued
  // message, else a time-out at once).
  virtual RecvStatus receive_until(LoopReceiver& receiver, std::optional<LoopMessage>& out,
                                   Instant deadline) = 0;
};

// The steady clock and the system's wall clock.
class SteadyLoopClock : public LoopClock {
 public:
  Instant now() override;
  std::uint64_t unix_time_ms() override;
  void sleep_for(std::chrono::milliseconds span) override;
  RecvStatus receive_until(LoopReceiver& receiver, std::optional<LoopMessage>& out,
                           Instant deadline) override;
};

}  // namespace orvelle::media
