#include "app/options.h"

#include "common/numbers.h"
#include "text/unicode.h"

#include <algorithm>

namespace orvelle::media {

std::uint32_t art_size_from(const std::optional<std::string>& value) {
  // A value that does not read as a number is the default, not a limit.
  std::optional<std::uint32_t> n = value ? parse_u32(*value) : std::nullopt;
  if (!n) return 128;
  return std::clamp<std::uint32_t>(*n, 16, 512);
}

ParsedOptions parse_media_options(const std::vector<std::string>& args) {
  ParsedOptions out;
  MediaConfig& c = out.config;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool takes_value = a == "--app" || a == "--art" || a == "--source" || a == "--prefer";
    if (!takes_value) {
      out.unknown.push_back(a);
      continue;
    }
    // An option always takes the next argument, whatever it looks like.
    std::optional<std::string> value;
    if (i + 1 < args.size()) value = args[++i];
    if (a == "--app")
      c.app = value ? std::optional(lower_case(*value)) : std::nullopt;
    else if (a == "--art")
      c.art_size = art_size_from(value);
    else if (a == "--source")
      c.source = value ? lower_case(*value) : "";
    else
      c.prefer = value ? lower_case(*value) : "";
  }
  return out;
}

}  // namespace orvelle::media
