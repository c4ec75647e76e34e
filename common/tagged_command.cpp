#include "common/tagged_command.h"

#include "common/json_write.h"

#include <fmt/format.h>

namespace orvelle {
namespace {

std::string quoted_list(const CommandEnum& command) {
  std::string out;
  for (const auto& v : command.variants) {
    if (!out.empty()) out += ", ";
    out += fmt::format("`{}`", v.tag);
  }
  return out;
}

std::string elements(std::size_t n) { return n == 1 ? "1 element" : fmt::format("{} elements", n); }

// identify_command_variant: the tag value must be a string naming a variant.
std::expected<const CommandVariant*, std::string> identify_command_variant(
    const JsonNode& value, const CommandEnum& command) {
  if (value.kind != JsonNode::Kind::string)
    return std::unexpected(
        fmt::format("invalid type: {}, expected variant identifier", describe_json_value(value)));
  for (const auto& v : command.variants)
    if (v.tag == value.string) return &v;
  std::string name;
  append_json_string(name, value.string);
  return std::unexpected(fmt::format("unknown variant `{}`, expected one of {}",
                                     name.substr(1, name.size() - 2), quoted_list(command)));
}

}  // namespace

std::expected<CommandTag, std::string> find_command_tag(std::string_view text, const JsonNode& root,
                                                        const CommandEnum& command) {
  CommandTag tag;
  tag.root = &root;
  const JsonNode* tag_value = nullptr;
  if (root.kind == JsonNode::Kind::object) {
    for (const auto& m : root.members) {
      if (m.key != "cmd") continue;
      if (tag_value)
        return std::unexpected("duplicate field `cmd`" + json_position(text, m.key_end));
      tag_value = &m.value;
    }
    if (!tag_value) return std::unexpected("missing field `cmd`" + json_position(text, root.end));
  } else if (root.kind == JsonNode::Kind::array) {
    if (root.items.empty())
      return std::unexpected("missing field `cmd`" + json_position(text, root.end));
    tag_value = &root.items.front();
    tag.array_form = true;
  } else {
    return std::unexpected(fmt::format("invalid type: {}, expected internally tagged enum {}",
                                       describe_json_value(root), command.name) +
                           json_position(text, root.end));
  }
  auto variant = identify_command_variant(*tag_value, command);
  if (!variant) return std::unexpected(variant.error() + json_position(text, tag_value->end));
  tag.variant = *variant;
  return tag;
}

VariantContent::VariantContent(const CommandEnum& command, const CommandTag& tag)
    : command_(command), tag_(tag) {}

std::expected<void, std::string> VariantContent::check_shape() const {
  if (!tag_.array_form) return {};
  const CommandVariant& v = *tag_.variant;
  std::size_t given = tag_.root->items.size() - 1;
  if (given < v.required_elements)
    return std::unexpected(fmt::format("invalid length {}, expected struct variant {}::{} with {}",
                                       given, command_.name, v.type_name,
                                       elements(v.fields.size())));
  if (given > v.fields.size())
    return std::unexpected(fmt::format("invalid length {}, expected {} in sequence", given,
                                       elements(v.fields.size())));
  return {};
}

std::expected<const JsonNode*, std::string> VariantContent::lookup(std::string_view name) const {
  if (tag_.array_form) {
    const auto& fields = tag_.variant->fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (fields[i] == name)
        return i + 1 < tag_.root->items.size() ? &tag_.root->items[i + 1] : nullptr;
    return nullptr;
  }
  const JsonNode* found = nullptr;
  for (const auto& m : tag_.root->members) {
    if (m.key != name) continue;
    if (found) return std::unexpected(fmt::format("duplicate field `{}`", name));
    found = &m.value;
  }
  return found;
}

std::expected<const JsonNode*, std::string> VariantContent::required(std::string_view name) const {
  auto node = lookup(name);
  if (node && !*node) return std::unexpected(fmt::format("missing field `{}`", name));
  return node;
}

std::expected<std::string, std::string> VariantContent::string_field(std::string_view name) const {
  auto node = required(name);
  if (!node) return std::unexpected(node.error());
  if ((*node)->kind != JsonNode::Kind::string)
    return std::unexpected(
        fmt::format("invalid type: {}, expected a string", describe_json_value(**node)));
  return (*node)->string;
}

std::expected<std::optional<std::string>, std::string> VariantContent::optional_string_field(
    std::string_view name) const {
  auto node = lookup(name);
  if (!node) return std::unexpected(node.error());
  if (!*node || (*node)->kind == JsonNode::Kind::null) return std::optional<std::string>();
  if ((*node)->kind != JsonNode::Kind::string)
    return std::unexpected(
        fmt::format("invalid type: {}, expected a string", describe_json_value(**node)));
  return std::optional<std::string>((*node)->string);
}

std::expected<std::uint32_t, std::string> VariantContent::u32_field(std::string_view name) const {
  auto node = required(name);
  if (!node) return std::unexpected(node.error());
  const JsonNode& v = **node;
  if (v.kind == JsonNode::Kind::unsigned_int && v.unsigned_int <= UINT32_MAX)
    return static_cast<std::uint32_t>(v.unsigned_int);
  if (v.kind == JsonNode::Kind::unsigned_int || v.kind == JsonNode::Kind::signed_int)
    return std::unexpected(
        fmt::format("invalid value: {}, expected u32", describe_json_value(v)));
  return std::unexpected(fmt::format("invalid type: {}, expected u32", describe_json_value(v)));
}

std::expected<double, std::string> VariantContent::number_field(std::string_view name,
                                                                std::string_view type) const {
  auto node = required(name);
  if (!node) return std::unexpected(node.error());
  if (!(*node)->is_number())
    return std::unexpected(
        fmt::format("invalid type: {}, expected {}", describe_json_value(**node), type));
  return (*node)->as_double();
}

}  // namespace orvelle
