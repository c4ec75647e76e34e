#pragma once
// Where the Windows tests find the programs they run: beside themselves.

#include <windows.h>

#include <string>

namespace orvelle::clips {

// A path relative to this test program's folder.
inline std::wstring beside_this_program(const wchar_t* relative) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1) + relative;
}

}  // namespace orvelle::clips
