#include "main/options.h"

#include "common/numbers.h"
#include "common/text.h"

#include <string_view>

namespace orvelle::setup {
namespace {

std::vector<std::uint64_t> shot_times(std::string_view value) {
  std::vector<std::uint64_t> times;
  while (true) {
    std::size_t comma = value.find(',');
    std::string_view piece = trim_unicode_whitespace(value.substr(0, comma));
    if (auto t = parse_unsigned(piece)) times.push_back(*t);
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return times;
}

}  // namespace

SetupOptions parse_setup_options(const std::vector<std::string>& args) {
  SetupOptions o;
  for (std::size_t i = 0; i < args.size();) {
    const std::string& name = args[i];
    // A value option always takes the next argument, even one that looks
    // like an option; at the end of the line it takes the empty text.
    std::string value = i + 1 < args.size() ? args[i + 1] : std::string();
    auto take = [&](auto& field) {
      field = std::move(value);
      i += 2;
    };
    if (name == "--ui") take(o.ui);
    else if (name == "--lang") take(o.lang);
    else if (name == "--dir") take(o.dir);
    else if (name == "--version") take(o.version);
    else if (name == "--ready") take(o.ready);
    else if (name == "--status") take(o.status);
    else if (name == "--result") take(o.result);
    else if (name == "--setup") take(o.setup);
    else if (name == "--log") take(o.log);
    else if (name == "--shots") take(o.shots);
    else if (name == "--shot-at") {
      o.shot_at = shot_times(value);
      i += 2;
    } else if (name == "--expect") {
      o.expect = parse_unsigned(value).value_or(0);
      i += 2;
    } else {
      if (name == "--demo") o.demo = true;
      if (name == "--offscreen") o.offscreen = true;
      ++i;  // a flag, or a word of no meaning here
    }
  }
  if (o.lang.empty()) o.lang = "en";
  // An empty folder is no folder, as for --dir: never the current one.
  if (o.shots && o.shots->empty()) o.shots.reset();
  return o;
}

std::string window_title(const SetupOptions& options) {
  return options.lang == "pl" ? "Instalator Orvelle Client" : "Orvelle Client Setup";
}

}  // namespace orvelle::setup
