#include "common/win/error.h"

#include "common/win/com_ptr.h"
#include "common/win/local_memory.h"
#include "common/utf.h"

#include <oleauto.h>

namespace orvelle::win {
namespace {

// IRestrictedErrorInfo, from the WinRT error documentation; mingw-w64 does
// not declare it.
MIDL_INTERFACE("82BA7092-4C88-427D-A7BC-16DD93FEB67E")
IRestrictedErrorInfo : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetErrorDetails(BSTR * description, HRESULT * error,
                                                    BSTR * restricted_description,
                                                    BSTR * capability_sid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReference(BSTR * reference) = 0;
};

struct Bstr {
  BSTR value = nullptr;
  ~Bstr() { SysFreeString(value); }
  std::string utf8() const {
    return value ? utf16_to_utf8({reinterpret_cast<const char16_t*>(value), SysStringLen(value)})
                 : std::string();
  }
};

using GetRestrictedErrorInfoFn = HRESULT(WINAPI*)(IRestrictedErrorInfo**);

// The description the failing call left on this thread, if it was for hr.
std::string error_description(HRESULT hr) {
  static const auto get_info = [] {
    HMODULE combase = GetModuleHandleW(L"combase.dll");
    if (!combase) combase = LoadLibraryW(L"combase.dll");
    return combase ? reinterpret_cast<GetRestrictedErrorInfoFn>(
                         reinterpret_cast<void*>(GetProcAddress(combase, "GetRestrictedErrorInfo")))
                   : nullptr;
  }();
  if (!get_info) return {};
  ComPtr<IRestrictedErrorInfo> info;
  if (get_info(info.put()) != S_OK || !info) return {};
  Bstr description, restricted, sid;
  HRESULT code = S_OK;
  if (FAILED(info->GetErrorDetails(&description.value, &code, &restricted.value, &sid.value)) ||
      code != hr)
    return {};
  std::string text = restricted.utf8();
  return text.empty() ? description.utf8() : text;
}

std::string format_message(DWORD flags, HMODULE module, DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                           module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  LocalMemory<wchar_t> owned(buffer);
  if (n && buffer) text = utf16_to_utf8({reinterpret_cast<const char16_t*>(buffer), n});
  return text;
}

}  // namespace

std::string system_message(std::uint32_t code) {
  if (code & 0x10000000u) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return {};
    return format_message(FORMAT_MESSAGE_FROM_HMODULE, ntdll, code & ~0x10000000u);
  }
  return format_message(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
}

WinError hresult_error(HRESULT hr) {
  return WinError{static_cast<std::uint32_t>(hr), error_description(hr)};
}

WinError last_error() {
  return WinError{static_cast<std::uint32_t>(HRESULT_FROM_WIN32(GetLastError())), {}};
}

void install_system_messages() { set_message_lookup(system_message); }

}  // namespace orvelle::win
