#include "support/thread_name.h"

#include "common/utf.h"
#include "common/win/thread_name.h"

#include <windows.h>

namespace orvelle::clips {

void name_threads_as_the_program_does() { win::install_thread_names(); }

std::string current_thread_name() {
  using Get = HRESULT(WINAPI*)(HANDLE, PWSTR*);
  auto get = reinterpret_cast<Get>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  PWSTR text = nullptr;
  if (!get || FAILED(get(GetCurrentThread(), &text)) || !text) return "(no thread descriptions)";
  std::string name = utf16_to_utf8(reinterpret_cast<const char16_t*>(text));
  LocalFree(text);
  return name;
}

}  // namespace orvelle::clips
