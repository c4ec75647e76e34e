#pragma once
// The bridge's platform on Windows: Windows.Media.Control's session manager
// and sessions, the visible windows' titles and AppInfo's display names.

#include "bridge/platform.h"
#include "common/win/media_control.h"

namespace orvelle::media {

// A session's media properties: the album artist is read only when the
// artist is empty or unreadable, the only time it stands in for it.
TrackProperties track_properties_of(win::IMediaProperties& props);

// What a caller asked of a session's playback info, in the order the
// caller needs it.
PlaybackInfo playback_info_of(win::IPlaybackInfo& info, PlaybackReading what);

class WinMediaPlatform : public MediaPlatform {
 public:
  Result<std::shared_ptr<SessionManager>> open_manager() override;
  std::vector<std::string> visible_window_titles() override;
  std::string app_display_name(const std::string& app_id) override;
  Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions() override;
  std::uint32_t own_process_id() override;
};

}  // namespace orvelle::media
