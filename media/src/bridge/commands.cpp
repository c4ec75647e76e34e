#include "bridge/commands.h"

#include "bridge/output.h"
#include "bridge/refresh.h"
#include "common/json_read.h"
#include "text/unicode.h"

#include <optional>

namespace orvelle::media {
namespace {

constexpr std::size_t kMaxDepth = 127;

const JsonNode* field(const JsonNode& object, std::string_view name) {
  if (object.kind != JsonNode::Kind::object) return nullptr;
  const JsonNode* found = nullptr;
  for (const auto& m : object.members)
    if (m.key == name) found = &m.value;  // the last of duplicates, as a generic reader keeps
  return found;
}

std::string string_field(const JsonNode& object, std::string_view name) {
  const JsonNode* f = field(object, name);
  return f && f->kind == JsonNode::Kind::string ? f->string : "";
}

}  // namespace

void handle_command(RunState& state, std::string_view line) {
  // A line that does not parse (not JSON, not UTF-8, nested too deeply) has
  // no command word.
  auto value = parse_json(line, kMaxDepth);
  std::string word = value ? string_field(*value, "cmd") : "";
  if (word == "source" || word == "prefer") {
    (word == "source" ? state.config.source : state.config.prefer) =
        lower_case(string_field(*value, word));
    refresh_and_publish(state, true);
    return;
  }
  if (word == "volume") {
    // Per-application volume is not built yet: no session's volume was set.
    emit_line(Json{{"type", "volume"}, {"sessions", 0u}, {"value", -1.0}});
    return;
  }
  // The playback commands are not built yet: nothing was carried out.
  emit_line(Json{{"type", "done"}, {"cmd", word}, {"ok", false}});
}

}  // namespace orvelle::media
