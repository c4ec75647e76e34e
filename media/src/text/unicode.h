#pragma once
// Unicode text rules of the bridge: full lower-casing (with the final sigma)
// and the character classes the name comparisons use.

#include <string>
#include <string_view>

namespace orvelle::media {

// The full lower-case mapping of every character; a capital sigma that ends
// a word becomes the final small sigma. Bytes that are not UTF-8 are kept.
std::string lower_case(std::string_view text);

// The full lower-case mapping of one character on its own, without context:
// a capital sigma is always the small sigma.
void append_lower_case(std::string& out, char32_t c);

bool is_alphabetic(char32_t c);
bool is_numeric(char32_t c);
bool is_white_space(char32_t c);

}  // namespace orvelle::media
