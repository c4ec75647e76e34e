#pragma once
// The lines the bridge prints, caught for a test's lifetime.

#include "common/console.h"

#include <string>
#include <vector>

namespace orvelle::media::testing {

struct CapturedLines {
  std::vector<std::string> out, err;
  CapturedLines() {
    set_line_writer([this](Stream s, std::string_view text) {
      (s == Stream::out ? out : err).emplace_back(text);
    });
  }
  ~CapturedLines() { set_line_writer({}); }
  CapturedLines(const CapturedLines&) = delete;
  CapturedLines& operator=(const CapturedLines&) = delete;
};

}  // namespace orvelle::media::testing
