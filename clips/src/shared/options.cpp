#include "shared/options.h"

#include "common/numbers.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace orvelle::clips {
namespace {

std::uint32_t u32_or(std::string_view text, std::uint32_t fallback, std::uint32_t lo,
                     std::uint32_t hi) {
  auto v = parse_u32(text);
  return v ? std::clamp(*v, lo, hi) : fallback;
}

void parse_width(std::string_view text, RecorderOptions& o) {
  std::size_t x = text.find('x');
  std::string_view w = text.substr(0, x);
  o.width = u32_or(w, 1280, 160, 3840);
  o.height = 0;
  if (x != std::string_view::npos && x + 1 < text.size())
    o.height = u32_or(text.substr(x + 1), 0, 0, 2160);
}

float volume_of(std::string_view text) {
  auto v = parse_float(text);
  if (!v) return 1.0f;
  if (std::isnan(*v)) return 0.0f;
  return static_cast<float>(std::clamp(*v, 0.0, 1.0));
}

using Flag = bool RecorderOptions::*;
using Setter = std::function<void(RecorderOptions&, std::string_view)>;

const std::map<std::string_view, Flag>& flags() {
  static const std::map<std::string_view, Flag> table = {
      {"--audio", &RecorderOptions::audio},       {"--mic", &RecorderOptions::mic},
      {"--list-mics", &RecorderOptions::list_mics}, {"--autoplay", &RecorderOptions::autoplay},
      {"--json", &RecorderOptions::json},         {"--quiet", &RecorderOptions::quiet},
  };
  return table;
}

const std::map<std::string_view, Setter>& value_options() {
  using O = RecorderOptions;
  using S = std::string_view;
  static const std::map<std::string_view, Setter> table = {
      {"--pid", [](O& o, S v) { o.pid = parse_u32(v).value_or(0); }},
      {"--title", [](O& o, S v) { o.title = std::string(v); }},
      {"--fps", [](O& o, S v) { o.fps = u32_or(v, 60, 1, 240); }},
      {"--bitrate", [](O& o, S v) { o.bitrate = u32_or(v, 10'000'000, 500'000, 80'000'000); }},
      {"--seconds", [](O& o, S v) { o.seconds = u32_or(v, 60, 5, 600); }},
      {"--mic-device",
       [](O& o, S v) { o.mic_device = v.empty() ? std::nullopt : std::optional<std::string>(v); }},
      {"--mic-volume", [](O& o, S v) { o.mic_volume = u32_or(v, 100, 0, 200); }},
      {"--storyboard", [](O& o, S v) { o.storyboard = std::string(v); }},
      {"--out", [](O& o, S v) { o.out = std::string(v); }},
      {"--board-width", [](O& o, S v) { o.board_width = u32_or(v, 640, 64, 1920); }},
      {"--board-frames", [](O& o, S v) { o.board_frames = u32_or(v, 60, 1, 600); }},
      {"--play", [](O& o, S v) { o.play = std::string(v); }},
      {"--start", [](O& o, S v) { o.start = parse_float(v).value_or(0.0); }},
      {"--width", [](O& o, S v) { parse_width(v, o); }},
      {"--volume", [](O& o, S v) { o.volume = volume_of(v); }},
      {"--duration", [](O& o, S v) { o.duration = parse_unsigned(v); }},
      {"--stage",
       [](O& o, S v) {
         o.stage = v == "capture"   ? CaptureStage::Capture
                   : v == "convert" ? CaptureStage::Convert
                                    : CaptureStage::Full;
       }},
      {"--input",
       [](O& o, S v) {
         o.input = v == "nv12"   ? InputFormat::Nv12
                   : v == "bgra" ? InputFormat::Bgra
                                 : InputFormat::Automatic;
       }},
  };
  return table;
}

}  // namespace

std::variant<RecorderOptions, UnknownArgument> parse_recorder_options(
    const std::vector<std::string>& args) {
  RecorderOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (auto f = flags().find(arg); f != flags().end()) {
      o.*(f->second) = true;
      continue;
    }
    auto v = value_options().find(arg);
    if (v == value_options().end()) return UnknownArgument{arg};
    // A value option always takes the next argument, even "--json"; at the
    // end of the line its value is empty.
    std::string_view value = i + 1 < args.size() ? std::string_view(args[++i]) : "";
    v->second(o, value);
  }
  return o;
}

PlayerOptions player_options(const RecorderOptions& o) {
  return PlayerOptions{o.play.value_or(""), o.start, o.width, o.height, o.volume, o.autoplay};
}

Mode choose_mode(const RecorderOptions& o) {
  if (o.list_mics) return Mode::ListMics;
  if (o.storyboard) return Mode::Storyboard;
  if (o.play) return Mode::Play;
  if (o.pid == 0 && !o.title) return Mode::Usage;
  return Mode::Record;
}

}  // namespace orvelle::clips
