#pragma once
// A Windows result code with its message text: the error value of every
// fallible operation in the three programs.

#include <cstdint>
#include <expected>
#include <functional>
#include <string>
#include <string_view>

namespace orvelle {

inline constexpr std::uint32_t kEFail = 0x80004005u;

struct WinError {
  std::uint32_t code = kEFail;  // the HRESULT, as its bit pattern
  std::string message;          // may be empty: the text is then the system's

  // See error_text.
  std::string text() const;
};

// The program's own failure: a borrowed system code and a short text.
inline WinError fail(std::string message, std::uint32_t code = kEFail) {
  return WinError{code, std::move(message)};
}

template <typename T>
using Result = std::expected<T, WinError>;
using Status = std::expected<void, WinError>;

inline std::unexpected<WinError> error(WinError e) { return std::unexpected(std::move(e)); }

// "0x" and eight upper-case hexadecimal digits.
std::string hresult_hex(std::uint32_t code);

// Looks up the system's text for a code; empty when there is none. The Windows
// build installs one backed by FormatMessageW; tests inject their own.
using MessageLookup = std::function<std::string(std::uint32_t code)>;
void set_message_lookup(MessageLookup lookup);

// The text of an error: its message (or, when empty, the looked-up text) with
// trailing white space removed, a blank and the code in parentheses; the code
// alone when there is no message.
std::string error_text(std::uint32_t code, std::string_view message);

}  // namespace orvelle
