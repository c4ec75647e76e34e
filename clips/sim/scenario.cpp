#include "sim/scenario.h"

#include "common/json_read.h"
#include "common/json_write.h"

#include <cerrno>
#include <cstring>
#include <fmt/format.h>
#include <fstream>
#include <span>
#include <sstream>

namespace orvelle::clips::sim {
namespace {

using Failure = std::unexpected<std::string>;
using Checked = std::expected<void, std::string>;

// A scenario nests three objects deep at most; anything deeper is a mistake.
constexpr std::size_t kMaxDepth = 8;

// The keys an object may hold.
using Keys = std::span<const std::string_view>;
constexpr std::string_view kScenarioKeys[] = {"window", "fps", "events"};
constexpr std::string_view kWindowKeys[] = {"title",   "pid",    "width", "height",
                                            "refresh", "appear", "frame"};
constexpr std::string_view kFrameKeys[] = {"left", "top", "right", "bottom"};
constexpr std::string_view kEventKeys[] = {"at", "do"};
constexpr std::string_view kResizeKeys[] = {"at", "do", "width", "height"};

bool has_key(Keys keys, std::string_view key) {
  for (std::string_view k : keys)
    if (k == key) return true;
  return false;
}

std::string listed(Keys keys) {
  std::string out;
  for (std::string_view k : keys) out += (out.empty() ? "" : ", ") + std::string(k);
  return out;
}

// Reads one value of the file, naming where it sits ("window.width",
// "events[2].at") in every error.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  // path is empty for the scenario's own keys.
  Failure fail(const std::string& path, std::size_t offset, std::string_view what) const {
    return Failure(fmt::format("{}{}{}{}", path, path.empty() ? "" : ": ", what,
                               json_position(text_, offset)));
  }
  Failure fail(const std::string& path, const JsonNode& node, std::string_view what) const {
    return fail(path, node.end, what);
  }

  std::expected<std::uint64_t, std::string> whole(const std::string& path, const JsonNode& node,
                                                  std::uint64_t min, std::uint64_t max) const {
    if (node.kind != JsonNode::Kind::unsigned_int || node.unsigned_int < min ||
        node.unsigned_int > max)
      return fail(path, node,
                  fmt::format("expected a whole number from {} to {}, found {}", min, max,
                              describe_json_value(node)));
    return node.unsigned_int;
  }

  std::expected<std::uint32_t, std::string> whole32(const std::string& path, const JsonNode& node,
                                                    std::uint32_t min, std::uint32_t max) const {
    auto v = whole(path, node, min, max);
    if (!v) return Failure(v.error());
    return static_cast<std::uint32_t>(*v);
  }

  std::expected<Ticks, std::string> milliseconds(const std::string& path,
                                                 const JsonNode& node) const {
    auto v = whole(path, node, 0, kMaxMilliseconds);
    if (!v) return Failure(v.error());
    return Ticks{static_cast<std::int64_t>(*v) * kTicksPerMillisecond.count()};
  }

  // Every member of an object, each key at most once and one of keys.
  template <typename OnMember>
  Checked members(const std::string& path, const JsonNode& node, Keys keys,
                  OnMember&& on_member) const {
    if (node.kind != JsonNode::Kind::object)
      return fail(path, node, fmt::format("expected an object, found {}", describe_json_value(node)));
    for (std::size_t i = 0; i < node.members.size(); ++i) {
      const JsonNode::Member& m = node.members[i];
      if (!has_key(keys, m.key))
        return fail(path, m.key_end,
                    fmt::format("unknown key \"{}\" (known: {})", m.key, listed(keys)));
      for (std::size_t j = 0; j < i; ++j)
        if (node.members[j].key == m.key)
          return fail(path, m.key_end, fmt::format("duplicate key \"{}\"", m.key));
      if (auto c = on_member(m.key, join(path, m.key), m.value); !c) return c;
    }
    return {};
  }

  static std::string join(const std::string& path, std::string_view key) {
    return path.empty() ? std::string(key) : path + "." + std::string(key);
  }

 private:
  std::string_view text_;
};

Checked read_size_side(const Reader& r, const std::string& path, const JsonNode& v,
                       std::uint32_t& side) {
  auto n = r.whole32(path, v, 1, kMaxSide);
  if (!n) return Failure(n.error());
  side = *n;
  return {};
}

Checked read_frame(const Reader& r, const std::string& path, const JsonNode& node,
                   FrameInsets& frame) {
  return r.members(path, node, kFrameKeys,
                   [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                     auto n = r.whole32(at, v, 0, kMaxInset);
                     if (!n) return Failure(n.error());
                     if (key == "left") frame.left = *n;
                     if (key == "top") frame.top = *n;
                     if (key == "right") frame.right = *n;
                     if (key == "bottom") frame.bottom = *n;
                     return {};
                   });
}

Checked read_window(const Reader& r, const std::string& path, const JsonNode& node,
                    WindowScript& window) {
  return r.members(path, node, kWindowKeys,
                   [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                     if (key == "title") {
                       if (v.kind != JsonNode::Kind::string)
                         return r.fail(at, v, fmt::format("expected a string, found {}",
                                                          describe_json_value(v)));
                       window.title = v.string;
                       return {};
                     }
                     if (key == "width") return read_size_side(r, at, v, window.client.width);
                     if (key == "height") return read_size_side(r, at, v, window.client.height);
                     if (key == "frame") return read_frame(r, at, v, window.frame);
                     if (key == "appear") {
                       auto t = r.milliseconds(at, v);
                       if (!t) return Failure(t.error());
                       window.appear = *t;
                       return {};
                     }
                     auto n = key == "pid" ? r.whole32(at, v, 0, UINT32_MAX)
                                           : r.whole32(at, v, 0, kMaxRate);
                     if (!n) return Failure(n.error());
                     (key == "pid" ? window.pid : window.refresh) = *n;
                     return {};
                   });
}

std::expected<WindowAction, std::string> read_action(const Reader& r, const std::string& path,
                                                     const JsonNode& v) {
  if (v.kind == JsonNode::Kind::string)
    for (WindowAction a : {WindowAction::minimise, WindowAction::restore, WindowAction::resize,
                           WindowAction::close})
      if (v.string == action_name(a)) return a;
  return r.fail(path, v,
                fmt::format("expected one of minimise, restore, resize, close, found {}",
                            describe_json_value(v)));
}

// The action decides which further keys an event may have, and it may come
// last in the object, so it is read first.
std::expected<WindowEvent, std::string> read_event(const Reader& r, const std::string& path,
                                                   const JsonNode& node) {
  if (node.kind != JsonNode::Kind::object)
    return r.fail(path, node, fmt::format("expected an object, found {}", describe_json_value(node)));
  const JsonNode* what = nullptr;
  for (const JsonNode::Member& m : node.members)
    if (m.key == "do" && !what) what = &m.value;
  if (!what) return r.fail(path, node, "missing key \"do\"");
  auto action = read_action(r, Reader::join(path, "do"), *what);
  if (!action) return Failure(action.error());

  WindowEvent event;
  event.action = *action;
  bool has_at = false, has_width = false, has_height = false;
  Keys keys = *action == WindowAction::resize ? Keys(kResizeKeys) : Keys(kEventKeys);
  auto read = r.members(path, node, keys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          if (key == "at") {
                            auto t = r.milliseconds(at, v);
                            if (!t) return Failure(t.error());
                            event.at = *t;
                            has_at = true;
                          } else if (key == "width") {
                            has_width = true;
                            return read_size_side(r, at, v, event.size.width);
                          } else if (key == "height") {
                            has_height = true;
                            return read_size_side(r, at, v, event.size.height);
                          }
                          return {};
                        });
  if (!read) return Failure(read.error());
  if (!has_at) return r.fail(path, node, "missing key \"at\"");
  if (*action == WindowAction::resize && !(has_width && has_height))
    return r.fail(path, node, "a resize needs \"width\" and \"height\"");
  return event;
}

Checked read_events(const Reader& r, const JsonNode& node, Scenario& scenario) {
  if (node.kind != JsonNode::Kind::array)
    return r.fail("events", node, fmt::format("expected an array, found {}", describe_json_value(node)));
  for (std::size_t i = 0; i < node.items.size(); ++i) {
    std::string path = fmt::format("events[{}]", i);
    auto event = read_event(r, path, node.items[i]);
    if (!event) return Failure(event.error());
    scenario.events.push_back(*event);
  }
  return {};
}

// Rules across keys, checked once everything is read: the script runs
// forwards, within the window's life.
Checked check_timeline(const Reader& r, const JsonNode& root, const Scenario& s) {
  for (std::size_t i = 0; i < s.events.size(); ++i) {
    const WindowEvent& e = s.events[i];
    auto fail = [&](std::string_view what) {
      const JsonNode* events = nullptr;
      for (const JsonNode::Member& m : root.members)
        if (m.key == "events") events = &m.value;
      return r.fail(fmt::format("events[{}]", i), events->items[i], what);
    };
    if (e.at < s.window.appear) return fail("comes before the window appears");
    if (i > 0 && e.at < s.events[i - 1].at) return fail("comes before the event above it");
    if (i > 0 && s.events[i - 1].action == WindowAction::close)
      return fail("comes after the window closed");
  }
  return {};
}

}  // namespace

std::string_view action_name(WindowAction action) {
  switch (action) {
    case WindowAction::minimise: return "minimise";
    case WindowAction::restore: return "restore";
    case WindowAction::resize: return "resize";
    case WindowAction::close: return "close";
  }
  return "?";
}

std::expected<Scenario, std::string> parse_scenario(std::string_view text) {
  auto root = parse_json(text, kMaxDepth);
  if (!root) return Failure("not JSON: " + root.error());
  Reader r(text);
  if (root->kind != JsonNode::Kind::object)
    return Failure(fmt::format("expected an object, found {}{}", describe_json_value(*root),
                               json_position(text, root->end)));
  Scenario s;
  auto read = r.members("", *root, kScenarioKeys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          if (key == "window") return read_window(r, at, v, s.window);
                          if (key == "events") return read_events(r, v, s);
                          auto fps = r.whole32(at, v, 1, kMaxRate);
                          if (!fps) return Failure(fps.error());
                          s.fps = *fps;
                          return {};
                        });
  if (!read) return Failure(read.error());
  if (auto c = check_timeline(r, *root, s); !c) return Failure(c.error());
  return s;
}

std::expected<Scenario, std::string> load_scenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failure(fmt::format("cannot read the scenario {}: {}", path, std::strerror(errno)));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return Failure(fmt::format("cannot read the scenario {}", path));
  auto s = parse_scenario(text.str());
  if (!s) return Failure(fmt::format("scenario {}: {}", path, s.error()));
  return s;
}

std::string scenario_json(const Scenario& s) {
  auto ms = [](Ticks t) { return whole_milliseconds(t); };
  Json events = Json::array();
  for (const WindowEvent& e : s.events) {
    Json event = {{"at", ms(e.at)}, {"do", action_name(e.action)}};
    if (e.action == WindowAction::resize) {
      event["width"] = e.size.width;
      event["height"] = e.size.height;
    }
    events.push_back(std::move(event));
  }
  const WindowScript& w = s.window;
  Json window = {{"title", w.title},
                 {"pid", w.pid},
                 {"width", w.client.width},
                 {"height", w.client.height},
                 {"refresh", w.refresh},
                 {"appear", ms(w.appear)},
                 {"frame",
                  {{"left", w.frame.left}, {"top", w.frame.top}, {"right", w.frame.right},
                   {"bottom", w.frame.bottom}}}};
  return to_json_text(Json{{"window", window}, {"fps", s.fps}, {"events", events}});
}

}  // namespace orvelle::clips::sim
