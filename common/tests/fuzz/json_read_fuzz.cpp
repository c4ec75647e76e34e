// The strict JSON reader, side by side with nlohmann's reader, which nobody
// here wrote: both take the same texts and read the same values, except
// where ours is stricter on purpose (a byte-order mark, nesting deeper than
// the limit) and where nlohmann's stops early (at a NUL byte, which no JSON
// text holds). Every value ends inside the text and after its children, and
// what the reader took reads back from the text the writer makes of it.

#include "common/tests/fuzz/fuzz_target.h"

#include "common/json_read.h"
#include "common/json_write.h"

#include <string>
#include <string_view>

namespace {

using orvelle::Json;
using orvelle::JsonNode;

constexpr std::size_t kDepth = 128;

// As a generic value: a repeated key keeps its last value, as nlohmann does.
Json generic(const JsonNode& node) {
  switch (node.kind) {
    case JsonNode::Kind::null: return nullptr;
    case JsonNode::Kind::boolean: return node.boolean;
    case JsonNode::Kind::unsigned_int: return node.unsigned_int;
    case JsonNode::Kind::signed_int: return node.signed_int;
    case JsonNode::Kind::floating: return node.floating;
    case JsonNode::Kind::string: return node.string;
    case JsonNode::Kind::array: {
      Json out = Json::array();
      for (const auto& item : node.items) out.push_back(generic(item));
      return out;
    }
    case JsonNode::Kind::object: {
      Json out = Json::object();
      for (const auto& m : node.members) out[m.key] = generic(m.value);
      return out;
    }
  }
  return nullptr;
}

// Compact text that keeps every member in its order.
void write(std::string& out, const JsonNode& node) {
  switch (node.kind) {
    case JsonNode::Kind::null: out += "null"; break;
    case JsonNode::Kind::boolean: out += node.boolean ? "true" : "false"; break;
    case JsonNode::Kind::unsigned_int: out += std::to_string(node.unsigned_int); break;
    case JsonNode::Kind::signed_int: out += std::to_string(node.signed_int); break;
    case JsonNode::Kind::floating: out += orvelle::json_float_text(node.floating); break;
    case JsonNode::Kind::string: orvelle::append_json_string(out, node.string); break;
    case JsonNode::Kind::array:
      out += '[';
      for (std::size_t i = 0; i < node.items.size(); ++i) {
        if (i) out += ',';
        write(out, node.items[i]);
      }
      out += ']';
      break;
    case JsonNode::Kind::object:
      out += '{';
      for (std::size_t i = 0; i < node.members.size(); ++i) {
        if (i) out += ',';
        orvelle::append_json_string(out, node.members[i].key);
        out += ':';
        write(out, node.members[i].value);
      }
      out += '}';
      break;
  }
}

std::string text_of(const JsonNode& node) {
  std::string out;
  write(out, node);
  return out;
}

// Children end in order, inside their parent; a key ends before its value.
void check_ends(const JsonNode& node, std::size_t text_size) {
  FUZZ_CHECK(node.end <= text_size);
  std::size_t last = 0;
  for (const auto& item : node.items) {
    FUZZ_CHECK(item.end > last && item.end < node.end);
    last = item.end;
    check_ends(item, text_size);
  }
  for (const auto& m : node.members) {
    FUZZ_CHECK(m.key_end > last && m.key_end < m.value.end && m.value.end < node.end);
    last = m.value.end;
    check_ends(m.value, text_size);
  }
}

bool nested_deeper_than(const JsonNode& node, std::size_t depth) {
  if (node.kind != JsonNode::Kind::array && node.kind != JsonNode::Kind::object) return false;
  if (depth == 0) return true;
  for (const auto& item : node.items)
    if (nested_deeper_than(item, depth - 1)) return true;
  for (const auto& m : node.members)
    if (nested_deeper_than(m.value, depth - 1)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto ours = orvelle::parse_json(text, kDepth);
  // nlohmann's reader skips a leading byte-order mark and ends the text at a
  // NUL; ours takes neither.
  if (text.starts_with("\xEF\xBB\xBF") || text.find('\0') != std::string_view::npos) {
    FUZZ_CHECK(!ours);
    return 0;
  }
  Json theirs = Json::parse(text.begin(), text.end(), nullptr, false);
  if (!ours) {
    FUZZ_CHECK(ours.error().find(" at line ") != std::string::npos);
    if (ours.error().starts_with("recursion limit exceeded")) return 0;
    FUZZ_CHECK(theirs.is_discarded());
    return 0;
  }
  FUZZ_CHECK(!theirs.is_discarded());
  FUZZ_CHECK(!nested_deeper_than(*ours, kDepth));
  FUZZ_CHECK(generic(*ours) == theirs);
  check_ends(*ours, text.size());

  std::string written = text_of(*ours);
  auto again = orvelle::parse_json(written, kDepth);
  FUZZ_CHECK(again);
  FUZZ_CHECK(text_of(*again) == written);
  return 0;
}
