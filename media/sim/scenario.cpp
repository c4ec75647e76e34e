#include "sim/scenario.h"

#include "common/json_read.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

namespace orvelle::media::sim {
namespace {

using Failure = std::unexpected<std::string>;
using Checked = std::expected<void, std::string>;
using K = JsonNode::Kind;

constexpr std::size_t kMaxDepth = 8;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Failure fail(const std::string& path, std::size_t offset, std::string_view what) const {
    return Failure(fmt::format("{}{}{}{}", path, path.empty() ? "" : ": ", what,
                               json_position(text_, offset)));
  }
  Failure expected(const std::string& path, const JsonNode& v, std::string_view what) const {
    return fail(path, v.end, fmt::format("expected {}, found {}", what, describe_json_value(v)));
  }

  // Each member once, each key one of those given.
  Checked members(const std::string& path, const JsonNode& node,
                  std::initializer_list<std::string_view> keys,
                  const std::function<Checked(std::string_view, const std::string&, const JsonNode&)>&
                      on_member) const {
    if (node.kind != K::object) return expected(path, node, "an object");
    for (std::size_t i = 0; i < node.members.size(); ++i) {
      const JsonNode::Member& m = node.members[i];
      if (std::find(keys.begin(), keys.end(), m.key) == keys.end())
        return fail(path, m.key_end, fmt::format("unknown key \"{}\"", m.key));
      for (std::size_t j = 0; j < i; ++j)
        if (node.members[j].key == m.key)
          return fail(path, m.key_end, fmt::format("duplicate key \"{}\"", m.key));
      std::string at = path.empty() ? m.key : path + "." + m.key;
      if (auto c = on_member(m.key, at, m.value); !c) return c;
    }
    return {};
  }

  std::expected<std::uint64_t, std::string> whole(const std::string& path, const JsonNode& v,
                                                  std::uint64_t max) const {
    if (v.kind != K::unsigned_int || v.unsigned_int > max)
      return expected(path, v, fmt::format("a whole number up to {}", max));
    return v.unsigned_int;
  }
  std::expected<std::string, std::string> text(const std::string& path, const JsonNode& v) const {
    if (v.kind != K::string) return expected(path, v, "a string");
    return v.string;
  }
  std::expected<std::vector<std::string>, std::string> texts(const std::string& path,
                                                             const JsonNode& v) const {
    if (v.kind != K::array) return expected(path, v, "an array of strings");
    std::vector<std::string> out;
    for (const JsonNode& item : v.items) {
      auto t = text(path, item);
      if (!t) return Failure(t.error());
      out.push_back(std::move(*t));
    }
    return out;
  }

  Checked session(const std::string& path, const JsonNode& node, SessionFields& f) const {
    return members(
        path, node,
        {"app", "pid", "process", "title", "artist", "albumArtist", "album", "status", "position",
         "duration", "rate", "volume", "prev", "next", "toggle", "art"},
        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
          auto put_text = [&](std::optional<std::string>& slot) -> Checked {
            auto t = text(at, v);
            if (!t) return Failure(t.error());
            slot = std::move(*t);
            return {};
          };
          auto put_flag = [&](std::optional<bool>& slot) -> Checked {
            if (v.kind != K::boolean) return expected(at, v, "true or false");
            slot = v.boolean;
            return {};
          };
          auto put_ms = [&](std::optional<std::uint64_t>& slot) -> Checked {
            auto n = whole(at, v, kMaxMilliseconds);
            if (!n) return Failure(n.error());
            slot = *n;
            return {};
          };
          if (key == "app") return put_text(f.app);
          if (key == "process") return put_text(f.process);
          if (key == "title") return put_text(f.title);
          if (key == "artist") return put_text(f.artist);
          if (key == "albumArtist") return put_text(f.album_artist);
          if (key == "album") return put_text(f.album);
          if (key == "art") return put_text(f.art);
          if (key == "prev") return put_flag(f.prev);
          if (key == "next") return put_flag(f.next);
          if (key == "toggle") return put_flag(f.toggle);
          if (key == "position") return put_ms(f.position);
          if (key == "duration") return put_ms(f.duration);
          if (key == "pid") {
            auto n = whole(at, v, UINT32_MAX);
            if (!n) return Failure(n.error());
            f.pid = static_cast<std::uint32_t>(*n);
            return {};
          }
          if (key == "rate") {
            if (!v.is_number()) return expected(at, v, "a number");
            f.rate = v.as_double();
            return {};
          }
          if (key == "volume") {
            if (!v.is_number() || v.as_double() < 0 || v.as_double() > 1)
              return expected(at, v, "a number from 0 to 1");
            f.volume = v.as_double();
            return {};
          }
          auto t = text(at, v);  // status
          if (!t) return Failure(t.error());
          if (std::find(std::begin(kStatusWords), std::end(kStatusWords), *t) == std::end(kStatusWords))
            return fail(at, v.end, fmt::format("unknown status \"{}\"", *t));
          f.status = std::move(*t);
          return {};
        });
  }

  // A session's number: one that exists by then.
  std::expected<std::size_t, std::string> number(const std::string& path, const JsonNode& v,
                                                 std::size_t count) const {
    if (count == 0) return expected(path, v, "no number: there is no session yet");
    auto n = whole(path, v, count - 1);
    if (!n) return Failure(n.error());
    return static_cast<std::size_t>(*n);
  }

  Checked event(const std::string& path, const JsonNode& node, std::size_t& sessions,
                std::uint64_t last, ScenarioEvent& e) const {
    int kinds = 0;
    bool has_at = false;
    const JsonNode* session = nullptr;
    auto c = members(path, node, {"at", "session", "set", "add", "remove", "current", "windows"},
                     [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                       if (key == "at") {
                         auto n = whole(at, v, kMaxMilliseconds);
                         if (!n) return Failure(n.error());
                         if (*n < last) return fail(at, v.end, "events must come in time order");
                         e.at = *n;
                         has_at = true;
                         return {};
                       }
                       if (key == "session") {
                         session = &v;
                         return {};
                       }
                       ++kinds;
                       if (key == "set") {
                         e.kind = EventKind::set;
                         return this->session(at, v, e.fields);
                       }
                       if (key == "add") {
                         e.kind = EventKind::add;
                         return this->session(at, v, e.fields);
                       }
                       if (key == "windows") {
                         e.kind = EventKind::windows;
                         auto t = texts(at, v);
                         if (!t) return Failure(t.error());
                         e.windows = std::move(*t);
                         return {};
                       }
                       e.kind = key == "remove" ? EventKind::remove : EventKind::current;
                       if (key == "current" && v.kind == K::null) {
                         e.no_current = true;
                         return {};
                       }
                       auto n = number(at, v, sessions);
                       if (!n) return Failure(n.error());
                       e.session = *n;
                       return {};
                     });
    if (!c) return c;
    if (!has_at) return fail(path, node.end, "missing \"at\"");
    if (kinds != 1)
      return fail(path, node.end, "expected exactly one of set, add, remove, current, windows");
    if ((e.kind == EventKind::set) != (session != nullptr))
      return fail(path, node.end, "\"session\" goes with \"set\" and only there");
    if (session) {
      auto n = number(path + ".session", *session, sessions);
      if (!n) return Failure(n.error());
      e.session = *n;
    }
    if (e.kind == EventKind::add && ++sessions > kMaxSessions)
      return fail(path, node.end, "too many sessions");
    return {};
  }

 private:
  std::string_view text_;
};

}  // namespace

std::expected<Scenario, std::string> parse_scenario(std::string_view text) {
  auto root = parse_json(text, kMaxDepth);
  if (!root) return Failure(root.error());
  Reader r(text);
  Scenario s;
  std::size_t count = 0;
  const JsonNode* current = nullptr;
  auto c = r.members("", *root, {"sessions", "current", "windows", "events"},
                     [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                       if (key == "sessions") {
                         if (v.kind != K::array) return r.expected(at, v, "an array");
                         if (v.items.size() > kMaxSessions) return r.fail(at, v.end, "too many sessions");
                         for (std::size_t i = 0; i < v.items.size(); ++i) {
                           SessionFields f;
                           if (auto ok = r.session(fmt::format("{}[{}]", at, i), v.items[i], f); !ok)
                             return ok;
                           s.sessions.push_back(std::move(f));
                         }
                         return {};
                       }
                       if (key == "windows") {
                         auto t = r.texts(at, v);
                         if (!t) return Failure(t.error());
                         s.windows = std::move(*t);
                         return {};
                       }
                       if (key == "current") {
                         current = &v;
                         return {};
                       }
                       if (v.kind != K::array) return r.expected(at, v, "an array");
                       return {};
                     });
  if (!c) return Failure(c.error());
  count = s.sessions.size();
  if (current && current->kind != K::null) {
    auto n = r.number("current", *current, count);
    if (!n) return Failure(n.error());
    s.current = *n;
  }
  for (const auto& m : root->members) {
    if (m.key != "events") continue;
    std::uint64_t last = 0;
    for (std::size_t i = 0; i < m.value.items.size(); ++i) {
      ScenarioEvent e;
      if (auto ok = r.event(fmt::format("events[{}]", i), m.value.items[i], count, last, e); !ok)
        return Failure(ok.error());
      last = e.at;
      s.events.push_back(std::move(e));
    }
  }
  return s;
}

std::expected<Scenario, std::string> load_scenario(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Failure(fmt::format("cannot read {}", path));
  std::ostringstream text;
  text << file.rdbuf();
  return parse_scenario(text.str());
}

}  // namespace orvelle::media::sim
