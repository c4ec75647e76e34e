#pragma once
// UTF-16 and UTF-8. Texts from the platform reach the core as UTF-16 and leave
// it as UTF-8; an unpaired surrogate becomes U+FFFD rather than an error.

#include <string>
#include <string_view>

namespace orvelle {

std::string utf16_to_utf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);
bool is_valid_utf8(std::string_view text);

// One scalar value at text[i], advancing i; a malformed sequence yields
// kInvalidScalar and consumes its maximal valid prefix.
inline constexpr char32_t kInvalidScalar = 0xFFFFFFFF;
char32_t next_scalar(std::string_view text, std::size_t& i);
void append_utf8(std::string& out, char32_t c);

}  // namespace orvelle
