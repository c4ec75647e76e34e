#pragma once
// A Windows result code with its message text: the error value of every
// fallible operation in the three programs.

#include "common/hresults.h"

#include <cstdint>
#include <expected>
#include <functional>
#include <string>
#include <string_view>

namespace orvelle {

struct WinError {
  std::uint32_t code = hresult::kFail;  // the HRESULT, as its bit pattern
  std::string message;          // may be empty: the text is then the system's

  // See error_text.
  std::string text() const;
};

// The program's own failure: a borrowed system code and a short text.
inline WinError fail(std::string message, std::uint32_t code = hresult::kFail) {
  return WinError{code, std::move(message)};
}

// The outcome of every fallible operation. The type is [[nodiscard]], so a
// call whose outcome is dropped does not compile (warnings are errors).
template <typename T>
class [[nodiscard]] Result : public std::expected<T, WinError> {
  using Base = std::expected<T, WinError>;

 public:
  using Base::Base;
  Result() = default;
  Result(const Base& b) : Base(b) {}
  Result(Base&& b) : Base(std::move(b)) {}
};
using Status = Result<void>;

inline std::unexpected<WinError> error(WinError e) { return std::unexpected(std::move(e)); }

// "0x" and eight upper-case hexadecimal digits.
std::string hresult_hex(std::uint32_t code);

// Looks up the system's text for a code; empty when there is none. The Windows
// build installs one backed by FormatMessageW; tests inject their own.
using MessageLookup = std::function<std::string(std::uint32_t code)>;
void set_message_lookup(MessageLookup lookup);

// The message alone: the given one or, when empty, the looked-up text, with
// trailing white space removed.
std::string error_message(std::uint32_t code, std::string_view message);

// The text of an error: its message (or, when empty, the looked-up text) with
// trailing white space removed, a blank and the code in parentheses; the code
// alone when there is no message.
std::string error_text(std::uint32_t code, std::string_view message);

}  // namespace orvelle
