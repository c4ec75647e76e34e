#pragma once
// One refresh of the published state: list the sessions, keep their status
// maps, narrow them by the source and prefer words, choose one and publish
// it, or "none". And the per-session event subscriptions over the same list.

#include "bridge/run_state.h"

#include <string>
#include <vector>

namespace orvelle::media {

struct SessionEntry {
  std::string key;
  SessionRef session;
};

// Never fails: what cannot be listed is left out; an unreadable id is "".
std::vector<SessionEntry> list_sessions(RunState& state);

void refresh_and_publish(RunState& state, bool force);

// Replaces every session subscription (old registrations are removed first).
void subscribe_sessions(RunState& state);

}  // namespace orvelle::media
