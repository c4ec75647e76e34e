#pragma once
// Small text helpers shared by the programs.

#include <string_view>

namespace orvelle {

// Removes Unicode white space (the White_Space property) from both ends of a
// UTF-8 text; other bytes, also invalid ones, are left as they are.
std::string_view trim_unicode_whitespace(std::string_view text);

// Removes one "\n" and then one "\r" before it from the end of a line.
std::string_view strip_line_end(std::string_view line);

}  // namespace orvelle
