#include "common/json_read.h"

#include "common/json_write.h"
#include "common/utf.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <fmt/format.h>

namespace orvelle {
namespace {

class Reader {
 public:
  Reader(std::string_view text, std::size_t max_depth) : text_(text), depth_left_(max_depth) {}

  std::expected<JsonNode, std::string> document() {
    JsonNode root;
    if (!value(root)) return std::unexpected(error_);
    skip_space();
    if (pos_ < text_.size()) return fail_here("trailing characters");
    return root;
  }

 private:
  bool at_end() const { return pos_ >= text_.size(); }
  char peek() const { return text_[pos_]; }

  void skip_space() {
    while (!at_end() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
      ++pos_;
  }

  // An error at the byte under the cursor, or at the end of the text.
  std::unexpected<std::string> fail_here(std::string_view what) {
    std::size_t offset = at_end() ? text_.size() : pos_ + 1;
    error_ = std::string(what) + json_position(text_, offset);
    return std::unexpected(error_);
  }
  bool fail(std::string_view what) {
    fail_here(what);
    return false;
  }
  bool fail_eof(std::string_view what) {
    pos_ = text_.size();
    return fail(what);
  }

  bool value(JsonNode& out) {
    skip_space();
    if (at_end()) return fail("EOF while parsing a value");
    switch (peek()) {
      case 'n': return literal("null", out, JsonNode::Kind::null, false);
      case 't': return literal("true", out, JsonNode::Kind::boolean, true);
      case 'f': return literal("false", out, JsonNode::Kind::boolean, false);
      case '"':
        out.kind = JsonNode::Kind::string;
        if (!string(out.string)) return false;
        break;
      case '[':
        if (!array(out)) return false;
        break;
      case '{':
        if (!object(out)) return false;
        break;
      default:
        if (peek() == '-' || (peek() >= '0' && peek() <= '9')) {
          if (!number(out)) return false;
          break;
        }
        return fail("expected value");
    }
    out.end = pos_;
    return true;
  }

  bool literal(std::string_view word, JsonNode& out, JsonNode::Kind kind, bool flag) {
    for (char c : word) {
      if (at_end()) return fail("EOF while parsing a value");
      if (peek() != c) return fail("expected ident");
      ++pos_;
    }
    out.kind = kind;
    out.boolean = flag;
    out.end = pos_;
    return true;
  }

  bool enter() {
    if (depth_left_ == 0) return fail("recursion limit exceeded");
    --depth_left_;
    return true;
  }

  bool array(JsonNode& out) {
    if (!enter()) return false;
    out.kind = JsonNode::Kind::array;
    ++pos_;
    skip_space();
    if (!at_end() && peek() == ']') {
      ++pos_;
      ++depth_left_;
      return true;
    }
    for (;;) {
      JsonNode item;
      if (!value(item)) return false;
      out.items.push_back(std::move(item));
      skip_space();
      if (at_end()) return fail("EOF while parsing a list");
      if (peek() == ']') break;
      if (peek() != ',') return fail("expected `,` or `]`");
      ++pos_;
      skip_space();
      if (!at_end() && peek() == ']') return fail("trailing comma");
    }
    ++pos_;
    ++depth_left_;
    return true;
  }

  bool object(JsonNode& out) {
    if (!enter()) return false;
    out.kind = JsonNode::Kind::object;
    ++pos_;
    skip_space();
    if (!at_end() && peek() == '}') {
      ++pos_;
      ++depth_left_;
      return true;
    }
    for (;;) {
      skip_space();
      if (at_end()) return fail("EOF while parsing an object");
      if (peek() != '"') return fail(peek() == '}' ? "trailing comma" : "key must be a string");
      JsonNode::Member member;
      if (!string(member.key)) return false;
      member.key_end = pos_;
      skip_space();
      if (at_end()) return fail("EOF while parsing an object");
      if (peek() != ':') return fail("expected `:`");
      ++pos_;
      if (!value(member.value)) return false;
      out.members.push_back(std::move(member));
      skip_space();
      if (at_end()) return fail("EOF while parsing an object");
      if (peek() == '}') break;
      if (peek() != ',') return fail("expected `,` or `}`");
      ++pos_;
    }
    ++pos_;
    ++depth_left_;
    return true;
  }

  bool hex4(char16_t& unit) {
    unit = 0;
    for (int k = 0; k < 4; ++k) {
      if (at_end()) return fail("EOF while parsing a string");
      char c = peek();
      int digit = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
      if (digit < 0) return fail("invalid escape");
      unit = static_cast<char16_t>(unit * 16 + digit);
      ++pos_;
    }
    return true;
  }

  bool string(std::string& out) {
    ++pos_;  // the opening quote
    std::size_t run = pos_;
    for (;;) {
      if (at_end()) return fail("EOF while parsing a string");
      auto c = static_cast<unsigned char>(peek());
      if (c == '"') {
        out.append(text_.substr(run, pos_ - run));
        ++pos_;
        break;
      }
      if (c < 0x20) return fail("control character (\\u0000-\\u001F) found while parsing a string");
      if (c != '\\') {
        ++pos_;
        continue;
      }
      out.append(text_.substr(run, pos_ - run));
      ++pos_;
      if (at_end()) return fail("EOF while parsing a string");
      char e = peek();
      ++pos_;
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          char16_t units[2];
          if (!hex4(units[0])) return false;
          std::size_t count = 1;
          if (units[0] >= 0xDC00 && units[0] <= 0xDFFF) {
            --pos_;
            return fail("invalid unicode code point");
          }
          if (units[0] >= 0xD800 && units[0] <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\u") {
              if (at_end()) return fail("EOF while parsing a string");
              return fail("unexpected end of hex escape");
            }
            pos_ += 2;
            if (!hex4(units[1])) return false;
            if (units[1] < 0xDC00 || units[1] > 0xDFFF) {
              --pos_;
              return fail("lone leading surrogate in hex escape");
            }
            count = 2;
          }
          out += utf16_to_utf8(std::u16string_view(units, count));
          break;
        }
        default:
          --pos_;
          return fail("invalid escape");
      }
      run = pos_;
    }
    if (!is_valid_utf8(out)) {
      --pos_;
      return fail("invalid unicode code point");
    }
    return true;
  }

  bool number(JsonNode& out) {
    std::size_t start = pos_;
    bool negative = peek() == '-';
    if (negative) ++pos_;
    if (at_end()) return fail("EOF while parsing a value");
    if (peek() == '0') {
      ++pos_;
      if (!at_end() && peek() >= '0' && peek() <= '9') return fail("invalid number");
    } else if (peek() >= '1' && peek() <= '9') {
      while (!at_end() && peek() >= '0' && peek() <= '9') ++pos_;
    } else {
      return fail("invalid number");
    }
    bool integral = true;
    if (!at_end() && peek() == '.') {
      integral = false;
      ++pos_;
      if (at_end()) return fail("EOF while parsing a value");
      if (!(peek() >= '0' && peek() <= '9')) return fail("invalid number");
      while (!at_end() && peek() >= '0' && peek() <= '9') ++pos_;
    }
    if (!at_end() && (peek() == 'e' || peek() == 'E')) {
      integral = false;
      ++pos_;
      if (!at_end() && (peek() == '+' || peek() == '-')) ++pos_;
      if (at_end()) return fail("EOF while parsing a value");
      if (!(peek() >= '0' && peek() <= '9')) return fail("invalid number");
      while (!at_end() && peek() >= '0' && peek() <= '9') ++pos_;
    }
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    if (integral) {
      if (!negative) {
        std::uint64_t u = 0;
        if (std::from_chars(first, last, u).ec == std::errc()) {
          out.kind = JsonNode::Kind::unsigned_int;
          out.unsigned_int = u;
          return true;
        }
      } else {
        std::int64_t i = 0;
        if (std::from_chars(first, last, i).ec == std::errc()) {
          // "-0" is the integer 0, read like any other unsigned integer.
          out.kind = i == 0 ? JsonNode::Kind::unsigned_int : JsonNode::Kind::signed_int;
          out.signed_int = i;
          out.unsigned_int = 0;
          return true;
        }
      }
    }
    // Integers beyond 64 bits and every fraction or exponent are floats; the
    // text is plain JSON, so strtod's wider syntax never comes into play.
    std::string digits(first, last);
    errno = 0;
    double d = std::strtod(digits.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(d)) {
      pos_ = start;
      return fail("number out of range");
    }
    out.kind = JsonNode::Kind::floating;
    out.floating = d;
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t depth_left_;
  std::string error_;
};

}  // namespace

double JsonNode::as_double() const {
  switch (kind) {
    case Kind::unsigned_int: return static_cast<double>(unsigned_int);
    case Kind::signed_int: return static_cast<double>(signed_int);
    default: return floating;
  }
}

std::expected<JsonNode, std::string> parse_json(std::string_view text, std::size_t max_depth) {
  return Reader(text, max_depth).document();
}

std::string json_position(std::string_view text, std::size_t offset) {
  std::size_t line = 1, line_start = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n' && i + 1 < offset) {
      ++line;
      line_start = i + 1;
    }
  }
  return fmt::format(" at line {} column {}", line, offset - line_start);
}

std::string describe_json_value(const JsonNode& node) {
  switch (node.kind) {
    case JsonNode::Kind::null: return "null";
    case JsonNode::Kind::boolean: return node.boolean ? "boolean `true`" : "boolean `false`";
    case JsonNode::Kind::unsigned_int: return fmt::format("integer `{}`", node.unsigned_int);
    case JsonNode::Kind::signed_int: return fmt::format("integer `{}`", node.signed_int);
    case JsonNode::Kind::floating: return fmt::format("floating point `{}`", json_float_text(node.floating));
    case JsonNode::Kind::string: {
      std::string out = "string ";
      append_json_string(out, node.string);
      return out;
    }
    case JsonNode::Kind::array: return "sequence";
    case JsonNode::Kind::object: return "map";
  }
  return "value";
}

}  // namespace orvelle
