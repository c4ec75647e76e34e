#include "bridge/volume.h"

#include "bridge/output.h"
#include "common/utf.h"
#include "text/unicode.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

namespace orvelle::media {
namespace {

bool ascii_equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view stem_of(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  if (slash != path.npos) path.remove_prefix(slash + 1);
  if (path.ends_with(".exe") || path.ends_with(".EXE")) path.remove_suffix(4);
  return path;
}

// A browser's media session is named by a 16-digit hash: only one browser
// names its sessions so.
bool is_hash(std::string_view s) {
  return s.size() == 16 && std::all_of(s.begin(), s.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

}  // namespace

// Character by character: the final-sigma rule would lower a name that ends
// a squeezed text otherwise than the same name inside a longer one.
std::string normalize_name(std::string_view text) {
  std::string kept;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = next_scalar(text, i);
    if (c != kInvalidScalar && (is_alphabetic(c) || is_numeric(c))) append_lower_case(kept, c);
  }
  return kept;
}

bool process_matches(std::string_view target_id, const ProcessIdentity& process) {
  if (process.app_id && ascii_equal_ignoring_case(*process.app_id, target_id)) return true;
  std::string stem = normalize_name(stem_of(process.image_path));
  std::string target = normalize_name(target_id);
  if (is_hash(target)) return stem == "firefox";
  return stem.size() > 2 && target.find(stem) != target.npos;
}

Result<std::optional<VolumeOutcome>> set_app_volume(MediaPlatform& platform, std::string_view target_id,
                                                    std::optional<float> set, float delta) {
  auto sessions = platform.audio_sessions();
  if (!sessions) return error(sessions.error());
  const std::uint32_t own = platform.own_process_id();
  const bool change = set.has_value() || delta != 0;
  std::optional<float> target;
  std::size_t count = 0;
  for (auto& session : *sessions) {
    std::uint32_t pid = session->process_id();
    if (pid == 0 || pid == own) continue;  // the system's and our own are never touched
    std::optional<ProcessIdentity> who = session->identity();
    if (!who || !process_matches(target_id, *who) || !session->has_volume()) continue;
    float level = session->level().value_or(1.0f);
    // The first matched session decides the level all of them get.
    if (!target) target = std::clamp(set ? *set : level + delta, 0.0f, 1.0f);
    if (change) {
      if (auto s = session->set_level(*target); !s) return error(s.error());
      if (*target > 0)
        if (auto s = session->unmute(); !s) return error(s.error());
    }
    ++count;
  }
  if (!target) return std::optional<VolumeOutcome>();
  return std::optional(VolumeOutcome{*target, count});
}

void volume_command(RunState& state, std::optional<float> set, float delta) {
  double value = -1.0;
  std::size_t sessions = 0;
  Result<std::string> id = state.chosen_session ? state.chosen_session->app_id()
                                                : Result<std::string>(error(fail("no session")));
  if (id) {
    auto outcome = set_app_volume(state.platform, *id, set, delta);
    if (!outcome)
      emit_line(Json{{"type", "log"}, {"msg", fmt::format("volume: {}", error_message(outcome.error()))}});
    else if (*outcome) {
      value = std::round(static_cast<double>((*outcome)->level) * 100) / 100;
      sessions = (*outcome)->sessions;
    }
  }
  emit_line(Json{{"type", "volume"}, {"sessions", sessions}, {"value", value}});
}

}  // namespace orvelle::media
