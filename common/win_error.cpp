#include "common/win_error.h"

#include <fmt/format.h>

#include <mutex>

namespace orvelle {
namespace {

std::mutex lookup_mutex;
MessageLookup& lookup_slot() {
  static MessageLookup slot;
  return slot;
}

std::string_view trim_end(std::string_view s) {
  while (!s.empty()) {
    char c = s.back();
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') break;
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

std::string hresult_hex(std::uint32_t code) { return fmt::format("0x{:08X}", code); }

void set_message_lookup(MessageLookup lookup) {
  std::lock_guard lock(lookup_mutex);
  lookup_slot() = std::move(lookup);
}

std::string error_message(std::uint32_t code, std::string_view message) {
  std::string looked_up;
  if (message.empty()) {
    MessageLookup lookup;
    {
      std::lock_guard lock(lookup_mutex);
      lookup = lookup_slot();
    }
    if (lookup) looked_up = lookup(code);
    message = looked_up;
  }
  return std::string(trim_end(message));
}

std::string error_text(std::uint32_t code, std::string_view message) {
  std::string text = error_message(code, message);
  if (text.empty()) return hresult_hex(code);
  return fmt::format("{} ({})", text, hresult_hex(code));
}

std::string WinError::text() const { return error_text(code, message); }

}  // namespace orvelle
