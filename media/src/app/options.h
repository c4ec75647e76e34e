#pragma once
// The command line of orvelle-media.

#include "bridge/config.h"

#include <vector>

namespace orvelle::media {

struct ParsedOptions {
  MediaConfig config;
  std::vector<std::string> unknown;  // in order; each gets its own line
};

// Never fails: an unknown argument is only named, a bad number takes its default.
ParsedOptions parse_media_options(const std::vector<std::string>& args);

// The side of the cover picture from its option's value.
std::uint32_t art_size_from(const std::optional<std::string>& value);

}  // namespace orvelle::media
