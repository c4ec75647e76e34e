#pragma once
// The installer's status file: a first line that is a word, the lines after
// it a free text used as the failure's message.

#include <string>
#include <string_view>

namespace orvelle::setup {

struct StatusWord {
  enum class Kind { Nothing, Done, Failed, Abort } kind = Kind::Nothing;
  std::string message;  // Failed: the later lines joined by one space, trimmed
};

// The whole file's text; it must be UTF-8 (the caller reads it as unreadable
// otherwise).
StatusWord read_status(std::string_view text);

}  // namespace orvelle::setup
