#pragma once
// Windows failures as WinError values.

#include "common/win_error.h"

#include <windows.h>

namespace orvelle::win {

// The result code with the description its failing call left, if any.
WinError hresult_error(HRESULT hr);
// The thread's last error, as a result code.
WinError last_error();
// A call's result code as a Status.
inline Status checked(HRESULT hr) {
  if (FAILED(hr)) return error(hresult_error(hr));
  return {};
}
// The one rule for a call that succeeded but handed back no object: it is
// that call's failure, with code 0, and travels like any other error. Only
// the frame converter's texture and view calls end the process instead
// (fatal "texture", "output view", "input view"), since a frame handler has
// no way to report them.
inline WinError no_object() { return WinError{0, {}}; }
// The system's text for a code (ntdll's table for codes with 0x10000000 set).
std::string system_message(std::uint32_t code);
// Makes error_text() use system_message; called once at the start of each program.
void install_system_messages();

}  // namespace orvelle::win
