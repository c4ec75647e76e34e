#pragma once
// What the command line tells the bridge, owned by the run state; the
// source and prefer words can be replaced by commands later.

#include <cstdint>
#include <optional>
#include <string>

namespace orvelle::media {

struct MediaConfig {
  std::string source;              // lower-cased; empty: no narrowing
  std::string prefer;              // lower-cased; empty: no preference
  std::optional<std::string> app;  // lower-cased substring of the app ids listed
  std::uint32_t art_size = 128;    // always 16..512
  friend bool operator==(const MediaConfig&, const MediaConfig&) = default;
};

}  // namespace orvelle::media
