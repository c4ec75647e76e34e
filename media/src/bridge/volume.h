#pragma once
// Per-application volume: the audio sessions that belong to the chosen media
// session's application, found by app id or executable name, all set to one level.

#include "bridge/run_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvelle::media {

// Keeps the letters and digits (alphabetic or numeric), lower-cased.
std::string normalize_name(std::string_view text);

// Whether an audio session's process belongs to the media session's app id.
bool process_matches(std::string_view target_id, const ProcessIdentity& process);

struct VolumeOutcome {
  float level = 0;  // the level that applies, 0..1
  std::size_t sessions = 0;
};

// Absent: no audio session matched.
Result<std::optional<VolumeOutcome>> set_app_volume(MediaPlatform& platform, std::string_view target_id,
                                                    std::optional<float> set, float delta);

// The "volume" command and its reply.
void volume_command(RunState& state, std::optional<float> set, float delta);

}  // namespace orvelle::media
