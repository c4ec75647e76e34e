#include "bridge/commands.h"

#include "bridge/output.h"
#include "bridge/refresh.h"
#include "bridge/volume.h"
#include "common/json_read.h"
#include "text/unicode.h"

#include <limits>
#include <optional>

namespace orvelle::media {
namespace {

constexpr std::size_t kMaxDepth = 127;
using K = JsonNode::Kind;

const JsonNode* field(const JsonNode& object, std::string_view name) {
  if (object.kind != K::object) return nullptr;
  const JsonNode* found = nullptr;
  for (const auto& m : object.members)
    if (m.key == name) found = &m.value;  // the last of duplicates, as a generic reader keeps
  return found;
}

std::string string_field(const JsonNode& object, std::string_view name) {
  const JsonNode* f = field(object, name);
  return f && f->kind == K::string ? f->string : "";
}

std::optional<float> number_field(const JsonNode& object, std::string_view name) {
  const JsonNode* f = field(object, name);
  if (!f || !f->is_number()) return std::nullopt;
  return static_cast<float>(f->as_double());
}

bool ok_of(const Result<bool>& r) { return r && *r; }

// Without a toggle control, a playing session is paused and any other is
// played; a status that cannot be read leaves the choice unknown, so
// nothing is sent.
bool toggle(MediaSession& session) {
  Result<PlaybackInfo> info = session.playback_info(PlaybackReading::toggle);
  if (!info || !info->controls || !info->controls->toggle) return false;
  if (*info->controls->toggle) return ok_of(session.request(PlaybackRequest::toggle));
  if (!info->status) return false;
  bool playing = *info->status == kPlaying;
  return ok_of(session.request(playing ? PlaybackRequest::pause : PlaybackRequest::play));
}

bool carry_out(const std::string& word, const JsonNode* value, MediaSession& session) {
  if (word == "play") return ok_of(session.request(PlaybackRequest::play));
  if (word == "pause") return ok_of(session.request(PlaybackRequest::pause));
  if (word == "next") return ok_of(session.request(PlaybackRequest::next));
  if (word == "previous") return ok_of(session.request(PlaybackRequest::previous));
  if (word == "toggle") return toggle(session);
  if (word == "seek") return ok_of(session.seek(seek_ticks(value ? field(*value, "position") : nullptr)));
  return false;
}

}  // namespace

std::int64_t seek_ticks(const JsonNode* position) {
  constexpr std::int64_t kTicksPerMs = 10'000;
  constexpr std::uint64_t kMaxMs = std::numeric_limits<std::int64_t>::max() / kTicksPerMs;
  if (!position || position->kind != K::unsigned_int) return 0;  // negative, fraction, other: 0
  if (position->unsigned_int > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
    return 0;  // beyond the signed range
  // A position whose ticks leave the signed range asks for the end: it
  // saturates rather than wrapping to a position before the start.
  if (position->unsigned_int > kMaxMs) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(position->unsigned_int) * kTicksPerMs;
}

void handle_command(RunState& state, std::string_view line) {
  // A line that does not parse (not JSON, not UTF-8, nested too deeply) has
  // no command word.
  auto value = parse_json(line, kMaxDepth);
  const JsonNode* object = value ? &*value : nullptr;
  std::string word = object ? string_field(*object, "cmd") : "";
  if (word == "source" || word == "prefer") {
    (word == "source" ? state.config.source : state.config.prefer) =
        lower_case(string_field(*object, word));
    refresh_and_publish(state, true);
    return;
  }
  if (word == "volume") {
    volume_command(state, number_field(*object, "set"), number_field(*object, "delta").value_or(0));
    return;
  }
  bool ok = state.chosen_session && carry_out(word, object, *state.chosen_session);
  emit_line(Json{{"type", "done"}, {"cmd", word}, {"ok", ok}});
}

}  // namespace orvelle::media
