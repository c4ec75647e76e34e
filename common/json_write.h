#pragma once
// The JSON text of every line the programs print: compact, keys in ascending
// byte order (nlohmann's default object is a sorted std::map), strings with
// the standard escapes, floats in their shortest round-trip form.

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace orvelle {

using Json = nlohmann::json;

std::string to_json_text(const Json& value);
void append_json_text(std::string& out, const Json& value);
// Quotation marks included. Invalid UTF-8 becomes U+FFFD so a line always
// stays valid JSON.
void append_json_string(std::string& out, std::string_view text);
// Shortest text that reads back to the same value, always with a fraction or
// an exponent (3.0, not 3); "null" when not finite.
std::string json_float_text(double value);

}  // namespace orvelle
