#include "common/win/error.h"

#include "common/win/com_ptr.h"
#include "common/win/owner.h"
#include "common/utf.h"

#include <audioclient.h>
#include <mferror.h>
#include <oleauto.h>

namespace orvelle::win {
namespace {

// The borrowed codes are the platform's.
static_assert(hresult::kFail == static_cast<std::uint32_t>(E_FAIL));
static_assert(hresult::kNotImplemented == static_cast<std::uint32_t>(E_NOTIMPL));
static_assert(hresult::kAbort == static_cast<std::uint32_t>(E_ABORT));
static_assert(hresult::kOutOfMemory == static_cast<std::uint32_t>(E_OUTOFMEMORY));
static_assert(hresult::kInvalidData == static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_INVALID_DATA)));
static_assert(hresult::kUnsupportedFormat == static_cast<std::uint32_t>(AUDCLNT_E_UNSUPPORTED_FORMAT));
static_assert(hresult::kDeviceInvalidated == static_cast<std::uint32_t>(AUDCLNT_E_DEVICE_INVALIDATED));
static_assert(hresult::kNotFound == static_cast<std::uint32_t>(MF_E_NOT_FOUND));
static_assert(hresult::kInvalidMediaType == static_cast<std::uint32_t>(MF_E_INVALIDMEDIATYPE));
static_assert(hresult::kNoSampleTimestamp == static_cast<std::uint32_t>(MF_E_NO_SAMPLE_TIMESTAMP));
static_assert(hresult::kShutdown == static_cast<std::uint32_t>(MF_E_SHUTDOWN));
static_assert(hresult::kInvalidArg == static_cast<std::uint32_t>(E_INVALIDARG));

// IRestrictedErrorInfo, from the WinRT error documentation; mingw-w64 does
// not declare it.
MIDL_INTERFACE("82BA7092-4C88-427D-A7BC-16DD93FEB67E")
IRestrictedErrorInfo : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetErrorDetails(BSTR * description, HRESULT * error,
                                                    BSTR * restricted_description,
                                                    BSTR * capability_sid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReference(BSTR * reference) = 0;
};

std::string utf8(const Bstr& s) {
  return s ? utf16_to_utf8({reinterpret_cast<const char16_t*>(s.get()), SysStringLen(s.get())})
           : std::string();
}

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
  if (FAILED(info->GetErrorDetails(description.put(), &code, restricted.put(), sid.put())) ||
      code != hr)
    return {};
  std::string text = utf8(restricted);
  return text.empty() ? utf8(description) : text;
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
