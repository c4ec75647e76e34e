#pragma once
// Windows failures as WinError values.

#include "common/win_error.h"

#include <windows.h>

namespace orvelle::win {

// The result code with the description its failing call left, if any.
WinError hresult_error(HRESULT hr);
// The thread's last error, as a result code.
WinError last_error();
// A call that succeeded but handed back no object: that call's failure, with
// code 0.
inline WinError no_object() { return WinError{0, {}}; }
// The system's text for a code (ntdll's table for codes with 0x10000000 set).
std::string system_message(std::uint32_t code);
// Makes error_text() use system_message; called once at the start of each program.
void install_system_messages();

}  // namespace orvelle::win
