#include "bridge/choice.h"

#include <algorithm>

#include <fmt/format.h>

namespace orvelle::media {
namespace {

// The index with the latest instant; between equal ones the later index.
// Candidates without an instant take no part.
template <typename Pick>
std::optional<std::size_t> latest(const std::vector<Candidate>& c,
                                  const std::vector<std::size_t>& among, Pick pick) {
  std::optional<std::size_t> best;
  for (std::size_t i : among) {
    const std::optional<Instant>& t = pick(c[i]);
    if (t && (!best || *t >= *pick(c[*best]))) best = i;
  }
  return best;
}

std::optional<std::size_t> keyed(const std::vector<Candidate>& c,
                                 const std::vector<std::size_t>& among,
                                 const std::optional<std::string>& current_id) {
  if (!current_id) return std::nullopt;
  for (std::size_t i : among)
    if (c[i].key == *current_id) return i;
  return std::nullopt;
}

}  // namespace

std::vector<std::string> session_keys(const std::vector<std::string>& app_ids) {
  std::vector<std::string> keys;
  for (const std::string& id : app_ids) {
    std::string key = id;
    // A rescan from the first key after each try, so an id that itself ends
    // in "#2" cannot collide with a generated key.
    for (unsigned n = 1; std::find(keys.begin(), keys.end(), key) != keys.end();)
      key = fmt::format("{}#{}", id, ++n);
    keys.push_back(std::move(key));
  }
  return keys;
}

std::optional<std::size_t> choose_session(const std::vector<Candidate>& c,
                                          const std::optional<std::string>& current_id) {
  std::vector<std::size_t> playing, open;
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (c[i].status == kPlaying) playing.push_back(i);
    if (c[i].status != kClosed) open.push_back(i);
  }
  if (!playing.empty()) {
    if (auto current = keyed(c, playing, current_id)) return current;
    // One without a start ranks below every one with one.
    if (auto started = latest(c, playing, [](const Candidate& x) -> auto& { return x.started_playing; }))
      return started;
    return playing.back();
  }
  if (open.empty()) return std::nullopt;
  if (auto seen = latest(c, open, [](const Candidate& x) -> auto& { return x.seen_playing; }))
    return seen;
  if (auto current = keyed(c, open, current_id)) return current;
  return open.front();
}

}  // namespace orvelle::media
