#include "common/numbers.h"

#include <cctype>
#include <charconv>
#include <string>

namespace orvelle {

std::optional<std::uint64_t> parse_unsigned(std::string_view text, std::uint64_t max) {
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (max - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<double> parse_float(std::string_view text) {
  bool negative = false;
  std::string_view body = text;
  if (body.starts_with('+') || body.starts_with('-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (body.empty()) return std::nullopt;
  std::string lower;
  for (char c : body) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "inf" || lower == "infinity")
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  if (lower == "nan") return std::numeric_limits<double>::quiet_NaN();
  // from_chars takes no "+" and no hexadecimal here: only decimal digits, one
  // optional fraction and one optional exponent remain.
  for (char c : body)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' ||
          c == '+' || c == '-'))
      return std::nullopt;
  if (!std::isdigit(static_cast<unsigned char>(body.front())) && body.front() != '.')
    return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value,
                                   std::chars_format::general);
  if (end != body.data() + body.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // A huge exponent is still a number: infinity or zero, as the text says.
    std::size_t e = lower.find('e');
    bool tiny = e != std::string::npos && lower.compare(e + 1, 1, "-") == 0;
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace orvelle
