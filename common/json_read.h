#pragma once
// A strict reader of one JSON text into a tree that keeps what a generic
// value loses: every member in order (duplicates too), whether a number was
// written as an unsigned, a negative or a fractional number, and where each
// value ends, so the command grammars can name the place of an error.
// Error texts name the fault, then the line and column within the text.

#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvelle {

struct JsonNode {
  enum class Kind { null, boolean, unsigned_int, signed_int, floating, string, array, object };
  Kind kind = Kind::null;
  bool boolean = false;
  std::uint64_t unsigned_int = 0;
  std::int64_t signed_int = 0;  // only negative values
  double floating = 0;
  std::string string;
  std::vector<JsonNode> items;
  struct Member;
  std::vector<Member> members;
  std::size_t end = 0;  // offset just past the value in the text

  bool is_number() const {
    return kind == Kind::unsigned_int || kind == Kind::signed_int || kind == Kind::floating;
  }
  double as_double() const;  // for any number
};

struct JsonNode::Member {
  std::string key;
  std::size_t key_end = 0;  // offset just past the key's closing quote
  JsonNode value;
};

// Nesting deeper than max_depth arrays and objects is an error. Only JSON
// white space may follow the value.
[[nodiscard]] std::expected<JsonNode, std::string> parse_json(std::string_view text, std::size_t max_depth);

// " at line L column C" for the byte just before offset (columns count from 1).
std::string json_position(std::string_view text, std::size_t offset);

// How an unexpected value is named in type errors: "string \"30\"",
// "integer `5`", "floating point `2.5`", "boolean `true`", "null",
// "sequence", "map".
std::string describe_json_value(const JsonNode& node);

}  // namespace orvelle
