#include "bridge/output.h"

#include "common/console.h"

#include <fmt/format.h>

namespace orvelle::media {

void emit_line(const Json& message) { write_line(Stream::out, to_json_text(message)); }

void emit_if_changed(std::string& last_printed, std::string text, const Json& message) {
  if (text == last_printed) return;
  last_printed = std::move(text);
  emit_line(message);
}

std::string error_message(const WinError& e) { return orvelle::error_message(e.code, e.message); }

std::string error_line_text(const WinError& e) {
  // A client recognises a failure by its code in parentheses, so only the
  // blank before them goes with an empty text.
  std::string text = error_message(e);
  if (text.empty()) return fmt::format("(0x{:x})", e.code);
  return fmt::format("{} (0x{:x})", text, e.code);
}

}  // namespace orvelle::media
