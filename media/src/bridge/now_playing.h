#pragma once
// What the chosen session plays: its reading, the change of track, the
// timeline arithmetic and the "state" message.

#include "bridge/run_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvelle::media {

std::string_view status_word(std::optional<std::int32_t> status);

// Milliseconds from the timeline's ticks; "at" from its last update, or,
// when the player reports none, kept from the cached snapshot while position
// and duration stay, else the time of this refresh.
TimelineSnapshot timeline_snapshot(const TimelineTicks& ticks,
                                   const std::optional<TimelineSnapshot>& cached,
                                   std::uint64_t unix_now_ms);

// The rest of a refresh once key and session are chosen: at most one
// "state" through the change filter, or one "log" line.
void publish_now_playing(RunState& state, bool force, const std::string& key,
                         const SessionRef& session);

// The display name of an app id, looked up once per process.
std::string app_display_name(RunState& state, const std::string& app_id);

}  // namespace orvelle::media
