#pragma once
// How the end-to-end tests read a simulation's event lines: the next event
// of a name, every line read on the way kept for the transcript.

#include "tools/e2e/process.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::clips::sim {

inline std::optional<nlohmann::json> next_event(e2e::Background& process, std::vector<std::string>& lines,
                                                std::string_view name, std::chrono::milliseconds deadline) {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + deadline;
  while (Clock::now() < until) {
    auto line = process.next_line(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()));
    if (!line) return std::nullopt;
    lines.push_back(*line);
    auto parsed = nlohmann::json::parse(*line, nullptr, false);
    if (!parsed.is_discarded() && parsed.value("event", "") == name) return parsed;
  }
  return std::nullopt;
}

}  // namespace orvelle::clips::sim
