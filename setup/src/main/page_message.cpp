#include "main/page_message.h"

#include "common/json_read.h"

#include <fmt/format.h>

namespace orvelle::setup {
namespace {

// A message is a flat object; nothing the page sends needs depth.
constexpr std::size_t kMaxDepth = 8;

std::unexpected<std::string> invalid(const JsonNode& node, std::string_view expected) {
  return std::unexpected(
      fmt::format("invalid type: {}, expected {}", describe_json_value(node), expected));
}

std::expected<PageMessage, std::string> from_object(const JsonNode& node) {
  PageMessage m;
  bool has_type = false, has_show = false;
  for (const auto& member : node.members) {
    if (member.key == "type") {
      if (has_type) return std::unexpected(std::string("duplicate field `type`"));
      if (member.value.kind != JsonNode::Kind::string) return invalid(member.value, "a string");
      m.type = member.value.string;
      has_type = true;
    } else if (member.key == "show") {
      if (has_show) return std::unexpected(std::string("duplicate field `show`"));
      if (member.value.kind != JsonNode::Kind::boolean) return invalid(member.value, "a boolean");
      m.show = member.value.boolean;
      has_show = true;
    }
  }
  if (!has_type) return std::unexpected(std::string("missing field `type`"));
  return m;
}

std::expected<PageMessage, std::string> from_array(const JsonNode& node) {
  constexpr std::string_view kExpected = "struct PageMessage with 2 elements";
  if (node.items.empty() || node.items.size() > 2)
    return std::unexpected(
        fmt::format("invalid length {}, expected {}", node.items.size(), kExpected));
  PageMessage m;
  if (node.items[0].kind != JsonNode::Kind::string) return invalid(node.items[0], "a string");
  m.type = node.items[0].string;
  if (node.items.size() == 2) {
    if (node.items[1].kind != JsonNode::Kind::boolean) return invalid(node.items[1], "a boolean");
    m.show = node.items[1].boolean;
  }
  return m;
}

}  // namespace

std::expected<PageMessage, std::string> read_page_message(std::string_view json) {
  if (json.size() > kLongestPageMessage)
    return std::unexpected(fmt::format("a message of {} bytes is too long", json.size()));
  auto node = parse_json(json, kMaxDepth);
  if (!node) return std::unexpected(node.error());
  if (node->kind == JsonNode::Kind::object) return from_object(*node);
  if (node->kind == JsonNode::Kind::array) return from_array(*node);
  return invalid(*node, "struct PageMessage");
}

}  // namespace orvelle::setup
