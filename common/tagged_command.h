#pragma once
// The grammar the recorder's and the player's commands share: one JSON object
// whose "cmd" key names the variant (the other keys are the variant's fields,
// by name), or one array whose first element is the tag and whose further
// elements are the fields in their declared order.

#include "common/json_read.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvelle {

struct CommandVariant {
  std::string_view tag;          // "save"
  std::string_view type_name;    // "Save", for "struct variant Command::Save"
  std::span<const std::string_view> fields;  // in declared order
  std::size_t required_elements; // fields the array form must carry
};

struct CommandEnum {
  std::string_view name;  // "Command"
  std::span<const CommandVariant> variants;
};

// What the tag search found: the variant and the rest of the value.
struct CommandTag {
  const CommandVariant* variant = nullptr;
  const JsonNode* root = nullptr;
  bool array_form = false;
};

// Reads the "cmd" value (object form) or the first element (array form) of
// root, parsed from text; an error names its place in text.
[[nodiscard]] std::expected<CommandTag, std::string> find_command_tag(std::string_view text, const JsonNode& root,
                                                        const CommandEnum& command);

// A variant's view of its fields. Each getter checks presence, duplicates and
// type, and returns the grammar's error text (without its position).
class VariantContent {
 public:
  VariantContent(const CommandEnum& command, const CommandTag& tag);

  // Checks the shape the variant must have as a whole: the array form's
  // length, and nothing for the object form.
  [[nodiscard]] std::expected<void, std::string> check_shape() const;

  [[nodiscard]] std::expected<std::string, std::string> string_field(std::string_view name) const;
  [[nodiscard]] std::expected<std::optional<std::string>, std::string> optional_string_field(
      std::string_view name) const;
  [[nodiscard]] std::expected<std::uint32_t, std::string> u32_field(std::string_view name) const;
  [[nodiscard]] std::expected<double, std::string> number_field(std::string_view name,
                                                  std::string_view type) const;

 private:
  // The field's value; nullptr when missing; an error when repeated.
  [[nodiscard]] std::expected<const JsonNode*, std::string> lookup(std::string_view name) const;
  [[nodiscard]] std::expected<const JsonNode*, std::string> required(std::string_view name) const;

  const CommandEnum& command_;
  CommandTag tag_;
};

// Command lines nest no deeper than this.
inline constexpr std::size_t kMaxCommandDepth = 128;

// Parses one line into a command: parse, find the tag, hand the content to
// build (which returns the command or an error text), and place every error
// of the grammar at the end of the value it concerns.
template <typename T, typename Build>
[[nodiscard]] std::expected<T, std::string> deserialize_tagged(std::string_view text,
                                                               const CommandEnum& command,
                                                               Build build) {
  auto root = parse_json(text, kMaxCommandDepth);
  if (!root) return std::unexpected(root.error());
  auto tag = find_command_tag(text, *root, command);
  if (!tag) return std::unexpected(tag.error());
  VariantContent content(command, *tag);
  auto shape = content.check_shape();
  if (!shape) return std::unexpected(shape.error() + json_position(text, root->end));
  std::expected<T, std::string> result = build(*tag->variant, content);
  if (!result) return std::unexpected(result.error() + json_position(text, root->end));
  return result;
}

}  // namespace orvelle
