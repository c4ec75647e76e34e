#include "common/thread_name.h"

#include "common/utf.h"

#include <windows.h>

namespace orvelle {
namespace {

using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE thread, PCWSTR description);

// Older systems and Wine may lack it, so the programs still load there.
SetThreadDescriptionFn set_thread_description() {
  static const auto fn = reinterpret_cast<SetThreadDescriptionFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  return fn;
}

}  // namespace

void name_this_thread(std::string_view name) {
  if (SetThreadDescriptionFn fn = set_thread_description()) {
    std::u16string wide = utf8_to_utf16(name);
    fn(GetCurrentThread(), reinterpret_cast<PCWSTR>(wide.c_str()));
  }
}

}  // namespace orvelle
