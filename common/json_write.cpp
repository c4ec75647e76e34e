#include "common/json_write.h"

#include "common/utf.h"

#include <charconv>
#include <cmath>

namespace orvelle {

// The shortest digits that read back (std::to_chars), laid out the way JSON
// readers and people expect: plainly while the number has at most 16 digits
// before its point and no more than 5 zeros after it (100000.0, 0.00001),
// else with a bare exponent (1e16, 1.5e-7, 5e-324): no "+", no padding zero.
std::string json_float_text(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  if (ec != std::errc()) return "null";
  std::string_view sci(buffer, static_cast<std::size_t>(end - buffer));
  std::string out;
  if (sci.front() == '-') {
    out += '-';
    sci.remove_prefix(1);
  }
  const std::size_t e = sci.find('e');
  std::string digits(sci.substr(0, e));
  std::erase(digits, '.');
  int exponent = 0;
  std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exponent);
  // The value is 0.DIGITS × 10^point.
  const int length = static_cast<int>(digits.size());
  const int point = exponent + 1;
  if (point >= length && point <= 16) {  // 1234e7: 12340000000.0
    out += digits;
    out.append(static_cast<std::size_t>(point - length), '0');
    out += ".0";
  } else if (point > 0 && point <= 16) {  // 12.34
    out += digits.substr(0, static_cast<std::size_t>(point));
    out += '.';
    out += digits.substr(static_cast<std::size_t>(point));
  } else if (point > -5 && point <= 0) {  // 0.001234
    out += "0.";
    out.append(static_cast<std::size_t>(-point), '0');
    out += digits;
  } else {  // 1e30, 1.234e-30
    out += digits[0];
    if (length > 1) {
      out += '.';
      out += digits.substr(1);
    }
    out += 'e';
    out += std::to_string(point - 1);
  }
  return out;
}

void append_json_string(std::string& out, std::string_view text) {
  std::string repaired;
  if (!is_valid_utf8(text)) {
    repaired = utf16_to_utf8(utf8_to_utf16(text));
    text = repaired;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

void append_json_text(std::string& out, const Json& value) {
  switch (value.type()) {
    case Json::value_t::null:
    case Json::value_t::discarded: out += "null"; break;
    case Json::value_t::boolean: out += value.get<bool>() ? "true" : "false"; break;
    case Json::value_t::number_unsigned: out += std::to_string(value.get<std::uint64_t>()); break;
    case Json::value_t::number_integer: out += std::to_string(value.get<std::int64_t>()); break;
    case Json::value_t::number_float: out += json_float_text(value.get<double>()); break;
    case Json::value_t::string: append_json_string(out, value.get_ref<const std::string&>()); break;
    case Json::value_t::binary: out += "null"; break;
    case Json::value_t::array: {
      out += '[';
      bool first = true;
      for (const auto& item : value) {
        if (!first) out += ',';
        first = false;
        append_json_text(out, item);
      }
      out += ']';
      break;
    }
    case Json::value_t::object: {
      out += '{';
      bool first = true;
      for (const auto& [key, item] : value.items()) {
        if (!first) out += ',';
        first = false;
        append_json_string(out, key);
        out += ':';
        append_json_text(out, item);
      }
      out += '}';
      break;
    }
  }
}

std::string to_json_text(const Json& value) {
  std::string out;
  append_json_text(out, value);
  return out;
}

}  // namespace orvelle
