#pragma once
// Session keys and the choice of the one session to report.

#include "bridge/platform.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::media {

// One key per app id, in order: the id itself, or for a later session with
// an id already taken "{id}#{n}" with the smallest free n from 2 on.
std::vector<std::string> session_keys(const std::vector<std::string>& app_ids);

struct Candidate {
  std::string key;
  std::int32_t status = kClosed;  // the key's last status
  std::optional<Instant> started_playing, seen_playing;
};

// The index of the candidate to report, or none.
std::optional<std::size_t> choose_session(const std::vector<Candidate>& candidates,
                                          const std::optional<std::string>& current_id);

}  // namespace orvelle::media
