#pragma once
// The bridge's platform on Windows: Windows.Media.Control's session manager
// and sessions, the visible windows' titles and AppInfo's display names.

#include "bridge/platform.h"

namespace orvelle::media {

class WinMediaPlatform : public MediaPlatform {
 public:
  Result<std::shared_ptr<SessionManager>> open_manager() override;
  std::vector<std::string> visible_window_titles() override;
  std::string app_display_name(const std::string& app_id) override;
  Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions() override;
  std::uint32_t own_process_id() override;
};

}  // namespace orvelle::media
