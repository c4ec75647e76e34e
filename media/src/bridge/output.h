#pragma once
// The bridge's lines on standard output: one compact JSON object each, keys
// sorted, flushed at once; and the filter that keeps a repeated "state" or
// "none" from being printed again.

#include "common/json_write.h"
#include "common/win_error.h"

#include <string>

namespace orvelle::media {

void emit_line(const Json& message);

// Prints message unless text equals the last printed text, which it then becomes.
void emit_if_changed(std::string& last_printed, std::string text, const Json& message);

// The message text of an error, without its code (the "log" lines).
std::string error_message(const WinError& e);
// The "error" line's text: the message, a blank and the code in
// parentheses as "0x" and lower-case hexadecimal without leading zeros; the
// code in parentheses alone when the message is empty.
std::string error_line_text(const WinError& e);

}  // namespace orvelle::media
