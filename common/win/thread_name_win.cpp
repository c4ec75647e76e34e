#include "common/win/thread_name.h"

#include "common/threads.h"
#include "common/utf.h"

#include <windows.h>

#include <string>

namespace orvelle::win {
namespace {

// Older systems lack it, so it is looked up rather than linked.
using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE thread, PCWSTR description);

void describe_thread(const char* name) {
  static const auto set = reinterpret_cast<SetThreadDescriptionFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  if (!set) return;
  const std::u16string wide = utf8_to_utf16(name);
  static_cast<void>(set(GetCurrentThread(), reinterpret_cast<PCWSTR>(wide.c_str())));
}

}  // namespace

void install_thread_names() { set_thread_namer(describe_thread); }

}  // namespace orvelle::win
