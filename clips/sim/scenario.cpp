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
constexpr std::string_view kScenarioKeys[] = {"window", "fps", "events", "sound", "mics"};
constexpr std::string_view kWindowKeys[] = {"title",   "pid",    "width", "height",
                                            "refresh", "appear", "frame"};
constexpr std::string_view kFrameKeys[] = {"left", "top", "right", "bottom"};
constexpr std::string_view kEventKeys[] = {"at", "do"};
constexpr std::string_view kResizeKeys[] = {"at", "do", "width", "height"};
constexpr std::string_view kMicEventKeys[] = {"at", "do", "id", "state"};
constexpr std::string_view kSoundEventKeys[] = {"at", "do", "state"};
constexpr std::string_view kSoundKeys[] = {"rate", "channels", "kind"};
constexpr std::string_view kMicKeys[] = {"id", "name", "rate", "channels", "kind", "default"};

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

  std::expected<std::string, std::string> text(const std::string& path, const JsonNode& node) const {
    if (node.kind != JsonNode::Kind::string)
      return fail(path, node, fmt::format("expected a string, found {}", describe_json_value(node)));
    return node.string;
  }

  // One of the words, in the order an error lists them.
  template <typename E, std::size_t N>
  std::expected<E, std::string> word(const std::string& path, const JsonNode& node, const E (&values)[N],
                                     std::string_view (*name)(E)) const {
    std::string known;
    for (E e : values) {
      if (node.kind == JsonNode::Kind::string && node.string == name(e)) return e;
      known += (known.empty() ? "" : ", ") + std::string(name(e));
    }
    return fail(path, node, fmt::format("expected one of {}, found {}", known, describe_json_value(node)));
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

constexpr SoundKind kSoundKinds[] = {SoundKind::f32, SoundKind::i16, SoundKind::i32, SoundKind::i24};
constexpr MicState kMicStates[] = {MicState::on, MicState::missing, MicState::blocked};

// A key of a sound format; false when the key is not one.
std::expected<bool, std::string> read_format_key(const Reader& r, std::string_view key, const std::string& at,
                                                 const JsonNode& v, SoundFormat& f) {
  if (key == "kind") {
    auto kind = r.word(at, v, kSoundKinds, sound_kind_name);
    if (!kind) return Failure(kind.error());
    f.kind = *kind;
  } else if (key == "rate" || key == "channels") {
    auto n = key == "rate" ? r.whole32(at, v, 1, kMaxSoundRate) : r.whole32(at, v, 1, kMaxChannels);
    if (!n) return Failure(n.error());
    (key == "rate" ? f.rate : f.channels) = *n;
  } else {
    return false;
  }
  return true;
}

Checked read_sound(const Reader& r, const std::string& path, const JsonNode& node,
                   std::optional<SoundFormat>& sound) {
  if (node.kind == JsonNode::Kind::null) {
    sound.reset();
    return {};
  }
  SoundFormat f;
  auto read = r.members(path, node, kSoundKeys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          auto known = read_format_key(r, key, at, v, f);
                          if (!known) return Failure(known.error());
                          return {};
                        });
  if (!read) return read;
  sound = f;
  return {};
}

std::expected<MicDevice, std::string> read_mic(const Reader& r, const std::string& path, const JsonNode& node) {
  MicDevice mic;
  bool has_id = false, has_name = false;
  auto read = r.members(path, node, kMicKeys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          if (key == "id" || key == "name") {
                            auto t = r.text(at, v);
                            if (!t) return Failure(t.error());
                            (key == "id" ? mic.id : mic.name) = *t;
                            (key == "id" ? has_id : has_name) = true;
                            return {};
                          }
                          if (key == "default") {
                            if (v.kind != JsonNode::Kind::boolean)
                              return r.fail(at, v, fmt::format("expected a boolean, found {}",
                                                               describe_json_value(v)));
                            mic.is_default = v.boolean;
                            return {};
                          }
                          auto known = read_format_key(r, key, at, v, mic.format);
                          if (!known) return Failure(known.error());
                          return {};
                        });
  if (!read) return Failure(read.error());
  if (!has_id) return r.fail(path, node, "missing key \"id\"");
  if (!has_name) mic.name = mic.id;
  return mic;
}

Checked read_mics(const Reader& r, const JsonNode& node, Scenario& scenario) {
  if (node.kind != JsonNode::Kind::array)
    return r.fail("mics", node, fmt::format("expected an array, found {}", describe_json_value(node)));
  bool has_default = false;
  for (std::size_t i = 0; i < node.items.size(); ++i) {
    std::string path = fmt::format("mics[{}]", i);
    auto mic = read_mic(r, path, node.items[i]);
    if (!mic) return Failure(mic.error());
    for (const MicDevice& m : scenario.mics)
      if (m.id == mic->id) return r.fail(path, node.items[i], "a second microphone with this id");
    if (mic->is_default && has_default) return r.fail(path, node.items[i], "a second default microphone");
    has_default = has_default || mic->is_default;
    scenario.mics.push_back(std::move(*mic));
  }
  return {};
}

std::expected<MicEvent, std::string> read_mic_event(const Reader& r, const std::string& path,
                                                    const JsonNode& node) {
  MicEvent event;
  bool has_at = false, has_id = false, has_state = false;
  auto read = r.members(path, node, kMicEventKeys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          if (key == "at") {
                            auto t = r.milliseconds(at, v);
                            if (!t) return Failure(t.error());
                            event.at = *t;
                            has_at = true;
                          } else if (key == "id") {
                            auto t = r.text(at, v);
                            if (!t) return Failure(t.error());
                            event.id = *t;
                            has_id = true;
                          } else if (key == "state") {
                            auto state = r.word(at, v, kMicStates, mic_state_name);
                            if (!state) return Failure(state.error());
                            event.state = *state;
                            has_state = true;
                          }
                          return {};
                        });
  if (!read) return Failure(read.error());
  if (!has_at) return r.fail(path, node, "missing key \"at\"");
  if (!has_id || !has_state) return r.fail(path, node, "a mic event needs \"id\" and \"state\"");
  return event;
}

// {"at": MS, "do": "sound", "state": "lost"}: when the playback device goes.
std::expected<Ticks, std::string> read_sound_event(const Reader& r, const std::string& path,
                                                   const JsonNode& node) {
  Ticks lost{0};
  bool has_at = false, has_state = false;
  auto read = r.members(path, node, kSoundEventKeys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          if (key == "at") {
                            auto t = r.milliseconds(at, v);
                            if (!t) return Failure(t.error());
                            lost = *t;
                            has_at = true;
                          } else if (key == "state") {
                            if (v.kind != JsonNode::Kind::string || v.string != "lost")
                              return r.fail(at, v, fmt::format("expected one of lost, found {}",
                                                               describe_json_value(v)));
                            has_state = true;
                          }
                          return {};
                        });
  if (!read) return Failure(read.error());
  if (!has_at) return r.fail(path, node, "missing key \"at\"");
  if (!has_state) return r.fail(path, node, "a sound event needs \"state\"");
  return lost;
}

std::expected<WindowAction, std::string> read_action(const Reader& r, const std::string& path,
                                                     const JsonNode& v) {
  if (v.kind == JsonNode::Kind::string)
    for (WindowAction a : {WindowAction::minimise, WindowAction::restore, WindowAction::resize,
                           WindowAction::close})
      if (v.string == action_name(a)) return a;
  return r.fail(path, v,
                fmt::format("expected one of minimise, restore, resize, close, mic, sound, found {}",
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

// One entry of the events list, whichever kind, for the rules of time.
struct Moment {
  Ticks at{0};
  bool closes = false;
};

// Whether an entry of the events list is one with that "do".
bool does(const JsonNode& node, std::string_view what) {
  if (node.kind != JsonNode::Kind::object) return false;
  for (const JsonNode::Member& m : node.members)
    if (m.key == "do") return m.value.kind == JsonNode::Kind::string && m.value.string == what;
  return false;
}
bool is_mic_event(const JsonNode& node) { return does(node, "mic"); }

Checked read_events(const Reader& r, const JsonNode& node, Scenario& scenario, std::vector<Moment>& moments) {
  if (node.kind != JsonNode::Kind::array)
    return r.fail("events", node, fmt::format("expected an array, found {}", describe_json_value(node)));
  for (std::size_t i = 0; i < node.items.size(); ++i) {
    std::string path = fmt::format("events[{}]", i);
    if (is_mic_event(node.items[i])) {
      auto event = read_mic_event(r, path, node.items[i]);
      if (!event) return Failure(event.error());
      moments.push_back({event->at, false});
      scenario.mic_events.push_back(*event);
      continue;
    }
    if (does(node.items[i], "sound")) {
      auto lost = read_sound_event(r, path, node.items[i]);
      if (!lost) return Failure(lost.error());
      if (scenario.sound_lost) return r.fail(path, node.items[i], "the playback device is already lost");
      moments.push_back({*lost, false});
      scenario.sound_lost = *lost;
      continue;
    }
    auto event = read_event(r, path, node.items[i]);
    if (!event) return Failure(event.error());
    moments.push_back({event->at, event->action == WindowAction::close});
    scenario.events.push_back(*event);
  }
  return {};
}

// Rules across keys, checked once everything is read: the script runs
// forwards, within the window's life.
Checked check_timeline(const Reader& r, const JsonNode& root, const Scenario& s,
                       const std::vector<Moment>& moments) {
  const JsonNode* events = nullptr;
  for (const JsonNode::Member& m : root.members)
    if (m.key == "events") events = &m.value;
  for (std::size_t i = 0; i < moments.size(); ++i) {
    const Moment& e = moments[i];
    auto fail = [&](std::string_view what) {
      return r.fail(fmt::format("events[{}]", i), events->items[i], what);
    };
    if (e.at < s.window.appear) return fail("comes before the window appears");
    if (i > 0 && e.at < moments[i - 1].at) return fail("comes before the event above it");
    if (i > 0 && moments[i - 1].closes) return fail("comes after the window closed");
  }
  std::size_t mic_index = 0;
  for (std::size_t i = 0; i < moments.size(); ++i) {
    if (!is_mic_event(events->items[i])) continue;
    const MicEvent& e = s.mic_events[mic_index++];
    bool known = false;
    for (const MicDevice& m : s.mics) known = known || m.id == e.id;
    if (!known) return r.fail(fmt::format("events[{}]", i), events->items[i], "names no microphone of \"mics\"");
  }
  for (std::size_t i = 0; i < moments.size(); ++i)
    if (does(events->items[i], "sound") && !s.sound)
      return r.fail(fmt::format("events[{}]", i), events->items[i], "the scenario has no playback device");
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

std::string_view sound_kind_name(SoundKind kind) {
  switch (kind) {
    case SoundKind::f32: return "f32";
    case SoundKind::i16: return "i16";
    case SoundKind::i32: return "i32";
    case SoundKind::i24: return "i24";
  }
  return "?";
}

std::string_view mic_state_name(MicState state) {
  switch (state) {
    case MicState::on: return "on";
    case MicState::missing: return "missing";
    case MicState::blocked: return "blocked";
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
  std::vector<Moment> moments;
  auto read = r.members("", *root, kScenarioKeys,
                        [&](std::string_view key, const std::string& at, const JsonNode& v) -> Checked {
                          if (key == "window") return read_window(r, at, v, s.window);
                          if (key == "events") return read_events(r, v, s, moments);
                          if (key == "sound") return read_sound(r, at, v, s.sound);
                          if (key == "mics") return read_mics(r, v, s);
                          auto fps = r.whole32(at, v, 1, kMaxRate);
                          if (!fps) return Failure(fps.error());
                          s.fps = *fps;
                          return {};
                        });
  if (!read) return Failure(read.error());
  if (auto c = check_timeline(r, *root, s, moments); !c) return Failure(c.error());
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
  // Every kind of event in one list in time order; at the same instant the
  // devices' come first, so none follows a close.
  Json events = Json::array();
  std::size_t next_mic = 0;
  bool sound_written = false;
  auto devices_until = [&](Ticks t) {
    for (;;) {
      const bool mic = next_mic < s.mic_events.size() && s.mic_events[next_mic].at <= t;
      const bool sound = s.sound_lost && !sound_written && *s.sound_lost <= t;
      if (sound && (!mic || *s.sound_lost <= s.mic_events[next_mic].at)) {
        events.push_back({{"at", ms(*s.sound_lost)}, {"do", "sound"}, {"state", "lost"}});
        sound_written = true;
      } else if (mic) {
        const MicEvent& e = s.mic_events[next_mic++];
        events.push_back({{"at", ms(e.at)}, {"do", "mic"}, {"id", e.id}, {"state", mic_state_name(e.state)}});
      } else {
        return;
      }
    }
  };
  for (const WindowEvent& e : s.events) {
    devices_until(e.at);
    Json event = {{"at", ms(e.at)}, {"do", action_name(e.action)}};
    if (e.action == WindowAction::resize) {
      event["width"] = e.size.width;
      event["height"] = e.size.height;
    }
    events.push_back(std::move(event));
  }
  devices_until(Ticks::max());
  auto format = [](const SoundFormat& f) {
    return Json{{"rate", f.rate}, {"channels", f.channels}, {"kind", sound_kind_name(f.kind)}};
  };
  Json mics = Json::array();
  for (const MicDevice& m : s.mics) {
    Json mic = format(m.format);
    mic["id"] = m.id;
    mic["name"] = m.name;
    mic["default"] = m.is_default;
    mics.push_back(std::move(mic));
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
  return to_json_text(Json{{"window", window},
                           {"fps", s.fps},
                           {"events", events},
                           {"sound", s.sound ? format(*s.sound) : Json(nullptr)},
                           {"mics", mics}});
}

}  // namespace orvelle::clips::sim
