#include "main/host_messages.h"

#include "common/json_write.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

namespace orvelle::setup {

std::string progress_message(double value) {
  return fmt::format(R"({{"type":"progress","value":{:.4f}}})", value);
}

std::string failed_message(std::string_view message, std::string_view log) {
  std::string out = R"({"type":"failed","message":)";
  append_json_string(out, message);
  out += R"(,"log":)";
  append_json_string(out, log);
  out += '}';
  return out;
}

std::optional<double> progress_to_send(double& last, double value) {
  double v = std::max(value, std::max(last, 0.0));
  // A value that is not a number stays where the bar is.
  if (std::isnan(v)) return std::nullopt;
  if (std::abs(v - last) < 0.002) return std::nullopt;
  last = v;
  return v;
}

}  // namespace orvelle::setup
