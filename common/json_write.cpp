#include "common/json_write.h"

#include "common/utf.h"

#include <charconv>
#include <cmath>

namespace orvelle {

std::string json_float_text(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
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
